#include "platform/qt_image_writer.h"

#include <QIODevice>
#include <QImage>

#include "platform/image_file.h"
#include "text/messages.h"

namespace {

bool isPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return end == ".png";
}

// Hands what Qt's image writers write on to the plotter's output file.
class ForwardingDevice : public QIODevice {
public:
    explicit ForwardingDevice(const std::function<void(std::string_view)>& write) : write_(write) {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        write_({data, static_cast<std::size_t>(size)});
        return size;
    }

private:
    const std::function<void(std::string_view)>& write_;
};

}  // namespace

Result<> QtImageWriter::writeImage(const RasterSurface& plot, const std::string& path,
                                   const std::function<void(std::string_view)>& write) {
    ForwardingDevice device(write);
    device.open(QIODevice::WriteOnly);
    if (ImageFile::view(plot).save(&device, isPng(path) ? "PNG" : "BMP")) return {};
    return Fault{"画像ファイル「" + Messages::shownName(path) + "」を書くメモリが足りません。", {}};
}

bool QtImageWriter::writePng(const QImage& picture,
                             const std::function<void(std::string_view)>& write) {
    ForwardingDevice device(write);
    device.open(QIODevice::WriteOnly);
    return picture.save(&device, "PNG");
}
