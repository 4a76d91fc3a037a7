#include "cli/plot_image.h"

#include "platform/qt_image_writer.h"

Result<> PlotImage::save(const RasterSurface& raster, const std::string& path) {
    // Qt's image writers write to a device; this one is the output file, opened by its own
    // bytes' name, which Qt's file names could not always spell.
    OutputFile file(path, "画像ファイル");
    if (Result<> opened = file.open(); !opened.done()) return opened;
    const auto write = [&file](std::string_view bytes) { file.write(bytes); };
    if (Result<> written = QtImageWriter::writeImage(raster, path, write); !written.done()) {
        return written;
    }
    return file.commit();
}
