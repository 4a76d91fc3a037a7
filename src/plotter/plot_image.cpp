#include "plotter/plot_image.h"

#include "output/bitmap_file.h"

namespace {

bool isPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return end == ".png";
}

}  // namespace

bool PlotImage::save(const RasterSurface& raster, const std::string& path, PictureModule& pictures,
                     Fault& fault) {
    // Opened by its own bytes' name, which Qt's file names could not always spell.
    OutputFile file(path, "画像ファイル");
    if (!file.open(fault)) return false;
    if (!isPng(path)) {
        // Straight from the plot's rows: no image to build, no writer to load.
        BitmapFile::write(raster.pixels(), raster.width(), raster.height(), raster.stride(), file);
        return file.commit(fault);
    }
    const auto write = [&file](std::string_view bytes) { file.write(bytes); };
    return pictures.writePng(raster, path, write, fault) && file.commit(fault);
}
