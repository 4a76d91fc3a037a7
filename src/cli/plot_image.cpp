#include "cli/plot_image.h"

#include "platform/qt_image_writer.h"

Result<> PlotImage::write(const RasterSurface& raster, OutputFile& file) {
    // Qt's image writers write to a device; this one is the output file, opened by its own
    // bytes' name, which Qt's file names could not always spell.
    const auto write = [&file](std::string_view bytes) { file.write(bytes); };
    return QtImageWriter::writeImage(raster, file.path(), write);
}
