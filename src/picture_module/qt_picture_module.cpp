#include "picture_module/qt_picture_module.h"

#include <QIODevice>
#include <QImage>
#include <QLocale>

#include "platform/image_file.h"
#include "text/messages.h"

namespace {

// Hands what Qt's PNG writer writes on to the plotter's output file.
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

bool QtPictureModule::isPicture(const std::string& path) {
    return pictures_.isPicture(path);
}

std::unique_ptr<StarSource> QtPictureModule::open(const std::string& path, Format format,
                                                  const DetectionSettings& settings,
                                                  DetectionCache* cache, RunMonitor* monitor,
                                                  Fault& fault) {
    return pictures_.open(path, format, settings, cache, monitor, fault);
}

std::optional<PictureSize> QtPictureModule::size(const std::string& path, Format format) {
    return pictures_.size(path, format);
}

bool QtPictureModule::writePng(const RasterSurface& plot, const std::string& path,
                               const std::function<void(std::string_view)>& write, Fault& fault) {
    ForwardingDevice device(write);
    device.open(QIODevice::WriteOnly);
    if (ImageFile::view(plot).save(&device, "PNG")) return true;
    fault = {"画像ファイル「" + Messages::shownName(path) + "」を書くメモリが足りません。", {}};
    return false;
}

std::string QtPictureModule::decimalSeparator() {
    return QLocale::system().decimalPoint().toStdString();
}
