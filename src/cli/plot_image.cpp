#include "cli/plot_image.h"

#include "platform/qt_image_writer.h"

bool PlotImage::save(const RasterSurface& raster, const std::string& path, Fault& fault) {
    // Qt's image writers write to a device; this one is the output file, opened by its own
    // bytes' name, which Qt's file names could not always spell.
    OutputFile file(path, "画像ファイル");
    if (!file.open(fault)) return false;
    const auto write = [&file](std::string_view bytes) { file.write(bytes); };
    return QtImageWriter::writeImage(raster, path, write, fault) && file.commit(fault);
}
