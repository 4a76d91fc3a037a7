#include "cli/map_image.h"

#include "output/output_file.h"
#include "platform/qt_image_writer.h"
#include "platform/shape_map_picture.h"
#include "text/messages.h"

Result<> MapImage::save(const ShapeMap& map, const std::string& path) {
    OutputFile file(path, "星像マップ");
    if (Result<> opened = file.open(); !opened.done()) return opened;
    const QImage picture = ShapeMapPicture::render(map, ShapeMapPicture::Look::Day);
    const auto write = [&file](std::string_view bytes) { file.write(bytes); };
    if (picture.isNull() || !QtImageWriter::writePng(picture, write)) {
        return Fault{"星像マップ「" + Messages::shownName(path) + "」を描くメモリが足りません。",
                     {}};
    }
    return file.commit();
}
