#include "sources/photo/qt_picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>

#include "sources/photo/library_text.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/picture_memory.h"
#include "sources/photo/picture_signature.h"
#include "sources/photo/reading_start.h"
#include "sources/photo/tiff_picture.h"

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

// The picture's bytes as Qt's readers take them: the file of that name, or bytes in memory.
class PictureDevice {
public:
    PictureDevice(const std::string& path, const std::string* content) : file_(qtPath(path)) {
        if (content != nullptr) {
            bytes_ =
                QByteArray::fromRawData(content->data(), static_cast<qsizetype>(content->size()));
            buffer_.setBuffer(&bytes_);
        }
        device_ = content != nullptr ? static_cast<QIODevice*>(&buffer_) : &file_;
        device_->open(QIODevice::ReadOnly);
        head_ = device_->peek(kHeadBytes).toStdString();
    }

    QIODevice* get() { return device_; }
    // The first bytes, which say the format and, for a BMP, its size: taken at the opening, as
    // the reader moves on.
    const std::string& head() const { return head_; }
    std::uint64_t size() const { return static_cast<std::uint64_t>(device_->size()); }
    unsigned char last() {
        char byte = 0;
        const qint64 at = device_->pos();
        if (device_->size() > 0 && device_->seek(device_->size() - 1)) device_->getChar(&byte);
        device_->seek(at);
        return static_cast<unsigned char>(byte);
    }

private:
    static constexpr qint64 kHeadBytes = 64;

    QFile file_;
    QByteArray bytes_;
    QBuffer buffer_;
    QIODevice* device_ = nullptr;
    std::string head_;
};

// A reader that knows the format from the content, never from the name.
void prepare(QImageReader& reader, PictureDevice& device) {
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    reader.setDevice(device.get());
}

// Whether every chunk of a PNG lies within the file, up to its end chunk. libpng takes a
// chunk's length at its word and allocates it before reading: a few hundred bytes that
// declare a 2 GB text chunk would take 2 GB. Read from the device's start, which is left where
// it was.
bool pngChunksFit(QIODevice& device) {
    const qint64 at = device.pos();
    const qint64 size = device.size();
    bool fits = false;
    for (qint64 chunk = 8; chunk + 12 <= size;) {
        char header[8];
        if (!device.seek(chunk) || device.read(header, 8) != 8) break;
        std::uint32_t length = 0;
        for (int i = 0; i < 4; ++i) length = length << 8 | static_cast<unsigned char>(header[i]);
        if (length > static_cast<std::uint64_t>(size - chunk - 12)) break;
        if (std::string_view(header + 4, 4) == "IEND") {
            fits = true;
            break;
        }
        chunk += 12 + static_cast<qint64>(length);
    }
    device.seek(at);
    return fits;
}

// Why Qt must not read the picture at all: a PNG with a chunk outside the file, a TIFF
// declaring a strip or tile larger than its picture (the libraries allocate either at its word);
// empty for any other.
std::string unsafe(PictureDevice& device, const std::string& path, const std::string* content) {
    switch (PictureSignature::of(device.head())) {
        case PictureSignature::Format::Png:
            return pngChunksFit(*device.get()) ? ""
                                               : "PNG のチャンクがファイルの外にはみ出しています。";
        case PictureSignature::Format::Tiff:
            return TiffPicture::chunksFit(path, content)
                       ? ""
                       : "TIFF のストリップまたはタイルが画像より大きく宣言されています。";
        default:
            return {};
    }
}

// Why a picture Qt read is still no whole picture: a file shorter than its header says, or
// one libjpeg found cut; empty when it is whole.
std::string cut(PictureDevice& device, const LibraryText& said) {
    const std::string& head = device.head();
    if (said.says("remature end")) return said.text();
    if (!PictureSignature::whole(PictureSignature::of(head), head, device.size(), device.last())) {
        return "ファイルが画素の途中で終わっています。\n" + said.text();
    }
    return {};
}

// Qt's reason, with what the libraries said as they read.
std::string detailOf(const QImageReader& reader, const LibraryText& said) {
    return "Qt: " + reader.errorString().toStdString() +
           (said.text().empty() ? "" : "\n" + said.text());
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
        // An infinite sample is no measurement, as a blank pixel is none.
        return convertRows<std::array<float, 4>>(
            picture, image, monitor, [](const std::array<float, 4>& v) {
                const float grey = average(v[0], v[1], v[2]);
                return std::isinf(grey) ? std::numeric_limits<float>::quiet_NaN() : grey;
            });
    }
    image.saturation = 254.5;
    picture.convertTo(QImage::Format_RGB32);
    return convertRows<QRgb>(picture, image, monitor,
                             [](QRgb v) { return average(qRed(v), qGreen(v), qBlue(v)); });
}

}  // namespace

bool QtPicture::canRead(const std::string& path, const std::string* content) {
    LibraryText dropped;
    PictureDevice device(path, content);
    if (PictureSignature::of(device.head()) == PictureSignature::Format::None) return false;
    QImageReader reader;
    prepare(reader, device);
    return reader.canRead() && isPictureFormat(reader.format());
}

std::optional<PictureSize> QtPicture::size(const std::string& path, const std::string* content) {
    LibraryText dropped;
    PictureDevice device(path, content);
    QImageReader reader;
    prepare(reader, device);
    if (!reader.canRead() || !isPictureFormat(reader.format()) ||
        !unsafe(device, path, content).empty()) {
        return {};
    }
    const QSize size = reader.size();
    if (size.width() < 1 || size.height() < 1) return {};
    return PictureSize{size.width(), size.height()};
}

Result<> QtPicture::read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                         const std::string* content) {
    if (Result<> start = startReading(path, monitor, content == nullptr); !start.done()) {
        return start;
    }
    LibraryText said;
    PictureDevice device(path, content);
    QImageReader reader;
    prepare(reader, device);
    // Before Qt reads anything: its reading of the size reads a PNG's chunks too.
    if (const std::string why = unsafe(device, path, content); !why.empty()) {
        return Fault{PhotoMessages::damaged(path), why};
    }
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
                     detailOf(reader, said)};
    }
    if (const std::string why = cut(device, said); !why.empty()) {
        return Fault{PhotoMessages::damaged(path), why};
    }
    if (!PictureMemory::allocate(image, picture.width(), picture.height())) {
        return Fault{PhotoMessages::outOfMemory(path, picture.width(), picture.height()), {}};
    }
    if (!convert(picture, image, monitor)) return Cancelled{};
    return {};
}
