#include "sources/photo/qt_picture.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

#include "sources/photo/photo_messages.h"
#include "sources/photo/picture_memory.h"
#include "sources/photo/reading_start.h"

namespace {

constexpr int kRowsBetweenReports = 256;

// The name as the file system spells it, whatever its bytes.
QString qtPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool isPictureFormat(const QByteArray& format) {
    static constexpr std::array<const char*, 6> kFormats{"png", "jpeg", "tiff",
                                                         "bmp", "gif",  "webp"};
    return std::any_of(kFormats.begin(), kFormats.end(),
                       [&](const char* name) { return format == name; });
}

// A reader that knows the format from the content, never from the name.
void prepare(QImageReader& reader, const std::string& path) {
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    reader.setFileName(qtPath(path));
}

bool isFloat(QImage::Format format) {
    return format >= QImage::Format_RGBX16FPx4 && format <= QImage::Format_RGBA32FPx4_Premultiplied;
}

bool isSixteenBit(QImage::Format format) {
    return format == QImage::Format_Grayscale16 || format == QImage::Format_RGBX64 ||
           format == QImage::Format_RGBA64 || format == QImage::Format_RGBA64_Premultiplied;
}

template <typename Pixel, typename Grey>
bool convertRows(const QImage& picture, GreyImage& image, RunMonitor* monitor, Grey grey) {
    for (int row = 0; row < image.height; ++row) {
        if (row % kRowsBetweenReports == 0 && monitor != nullptr &&
            !monitor->proceed(PhotoMessages::kReadingStage, row, image.height)) {
            return false;
        }
        const auto* in = reinterpret_cast<const Pixel*>(picture.constScanLine(row));
        // Qt gives the top row first; the picture is kept bottom row first.
        const auto up = static_cast<std::size_t>(image.height - 1 - row);
        float* out = image.pixels.get() + up * static_cast<std::size_t>(image.width);
        for (int column = 0; column < image.width; ++column) out[column] = grey(in[column]);
    }
    return true;
}

float average(double r, double g, double b) {
    return static_cast<float>((r + g + b) / 3);
}

// The picture's samples as grey values; false when the monitor cancelled.
bool convert(QImage& picture, GreyImage& image, RunMonitor* monitor) {
    const QImage::Format format = picture.format();
    if (format == QImage::Format_Grayscale8) {
        image.saturation = 254.5;
        return convertRows<uchar>(picture, image, monitor, [](uchar v) { return float(v); });
    }
    if (format == QImage::Format_Grayscale16) {
        image.saturation = 65534.5;
        return convertRows<quint16>(picture, image, monitor, [](quint16 v) { return float(v); });
    }
    if (isSixteenBit(format)) {
        image.saturation = 65534.5;
        picture.convertTo(QImage::Format_RGBX64);
        return convertRows<QRgba64>(picture, image, monitor, [](QRgba64 v) {
            return average(v.red(), v.green(), v.blue());
        });
    }
    if (isFloat(format)) {
        image.saturation.reset();
        picture.convertTo(QImage::Format_RGBX32FPx4);
        return convertRows<std::array<float, 4>>(
            picture, image, monitor,
            [](const std::array<float, 4>& v) { return average(v[0], v[1], v[2]); });
    }
    image.saturation = 254.5;
    picture.convertTo(QImage::Format_RGB32);
    return convertRows<QRgb>(picture, image, monitor,
                             [](QRgb v) { return average(qRed(v), qGreen(v), qBlue(v)); });
}

}  // namespace

bool QtPicture::canRead(const std::string& path) {
    QImageReader reader;
    prepare(reader, path);
    return reader.canRead() && isPictureFormat(reader.format());
}

std::optional<PictureSize> QtPicture::size(const std::string& path) {
    QImageReader reader;
    prepare(reader, path);
    if (!reader.canRead() || !isPictureFormat(reader.format())) return {};
    const QSize size = reader.size();
    if (size.width() < 1 || size.height() < 1) return {};
    return PictureSize{size.width(), size.height()};
}

Result<> QtPicture::read(const std::string& path, GreyImage& image, RunMonitor* monitor) {
    if (Result<> start = startReading(path, monitor); !start.done()) return start;
    QImageReader reader;
    prepare(reader, path);
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() < 1 || size.height() < 1 || size.width() > GreyImage::kLargestSide ||
         size.height() > GreyImage::kLargestSide)) {
        return Fault{PhotoMessages::badSide(path, size.width(), size.height()), {}};
    }
    // Qt refuses pictures over its allocation limit (256 MB); the size was checked above and
    // the memory is checked below, so a large photograph is read as any other.
    const long long bytes = static_cast<long long>(size.width()) * size.height() * 8;
    if (QImageReader::allocationLimit() != 0 &&
        bytes / (1 << 20) >= QImageReader::allocationLimit()) {
        QImageReader::setAllocationLimit(static_cast<int>(bytes / (1 << 20)) + 1);
    }
    QImage picture;
    if (!reader.read(&picture)) {
        const bool memory = size.isValid() && !PictureMemory::fits(size.width(), size.height());
        return Fault{memory ? PhotoMessages::outOfMemory(path, size.width(), size.height())
                            : PhotoMessages::damaged(path),
                     "Qt: " + reader.errorString().toStdString()};
    }
    if (!PictureMemory::allocate(image, picture.width(), picture.height())) {
        return Fault{PhotoMessages::outOfMemory(path, picture.width(), picture.height()), {}};
    }
    if (!convert(picture, image, monitor)) return Cancelled{};
    return {};
}
