#include "plotter/plot_image.h"

#include <QIODevice>
#include <QImage>

#include "output/bitmap_file.h"
#include "platform/image_file.h"
#include "text/messages.h"

namespace {

bool isPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return end == ".png";
}

// Hands what an image writer writes to an output file, which remembers any failure for its
// commit.
class OutputDevice : public QIODevice {
public:
    explicit OutputDevice(OutputFile& file) : file_(file) {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        file_.write({data, static_cast<std::size_t>(size)});
        return size;
    }

private:
    OutputFile& file_;
};

}  // namespace

bool PlotImage::save(const RasterSurface& raster, const std::string& path, Fault& fault) {
    // Qt's image writers write to a device; this one is the output file, opened by its own
    // bytes' name, which Qt's file names could not always spell.
    OutputFile file(path, "画像ファイル");
    if (!file.open(fault)) return false;
    if (!isPng(path)) {
        // Straight from the plot's rows: no image to build, no writer to load.
        BitmapFile::write(raster.pixels(), raster.width(), raster.height(), raster.stride(), file);
        return file.commit(fault);
    }
    OutputDevice device(file);
    device.open(QIODevice::WriteOnly);
    if (!ImageFile::view(raster).save(&device, "PNG")) {
        fault = {"画像ファイル「" + Messages::shownName(path) + "」を書くメモリが足りません。", {}};
        return false;
    }
    return file.commit(fault);
}
