#include "plotter/plot_image.h"

#include <QBuffer>
#include <QImage>
#include <cerrno>

#include "platform/image_file.h"
#include "text/messages.h"

namespace {

bool isPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return end == ".png";
}

}  // namespace

bool PlotImage::save(const RasterSurface& raster, const std::string& path, Fault& fault) {
    // Encoded in memory first: the file is then written by its own bytes' name, which Qt's file
    // names could not always spell.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!ImageFile::view(raster).save(&buffer, isPng(path) ? "PNG" : "BMP")) {
        fault = {"画像ファイル「" + Messages::shownName(path) + "」を作れません（" +
                     Messages::fileReason(ENOMEM) + "）。",
                 {}};
        return false;
    }
    OutputFile file(path, "画像ファイル");
    if (!file.open(fault)) return false;
    file.write({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    return file.commit(fault);
}
