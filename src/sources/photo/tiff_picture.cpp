#include "sources/photo/tiff_picture.h"

#include <tiffio.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "sources/photo/library_text.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/picture_memory.h"
#include "sources/photo/reading_start.h"

namespace {

// A file's bytes in memory as libtiff reads a file.
struct MemoryFile {
    const std::string* bytes;
    toff_t at = 0;

    static tmsize_t read(thandle_t handle, void* into, tmsize_t size) {
        auto* self = static_cast<MemoryFile*>(handle);
        const toff_t left = self->bytes->size() - std::min<toff_t>(self->at, self->bytes->size());
        const auto now =
            static_cast<std::size_t>(std::min<toff_t>(left, static_cast<toff_t>(size)));
        std::memcpy(into, self->bytes->data() + self->at, now);
        self->at += now;
        return static_cast<tmsize_t>(now);
    }
    static tmsize_t write(thandle_t, void*, tmsize_t) { return -1; }
    static toff_t seek(thandle_t handle, toff_t offset, int whence) {
        auto* self = static_cast<MemoryFile*>(handle);
        const toff_t base = whence == SEEK_CUR   ? self->at
                            : whence == SEEK_END ? self->bytes->size()
                                                 : 0;
        self->at = base + offset;
        return self->at;
    }
    static int close(thandle_t) { return 0; }
    static toff_t size(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes->size(); }
    static int map(thandle_t, void**, toff_t*) { return 0; }
    static void unmap(thandle_t, void*, toff_t) {}
};

// One open TIFF, closed with the object.
class TiffHandle {
public:
    TiffHandle(const std::string& path, const std::string* content) : memory_{content} {
        tiff_ = content == nullptr
                    ? TIFFOpen(path.c_str(), "r")
                    : TIFFClientOpen("picture", "rm", &memory_, MemoryFile::read, MemoryFile::write,
                                     MemoryFile::seek, MemoryFile::close, MemoryFile::size,
                                     MemoryFile::map, MemoryFile::unmap);
    }
    ~TiffHandle() {
        if (tiff_ != nullptr) TIFFClose(tiff_);
    }
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    TIFF* get() const { return tiff_; }

private:
    MemoryFile memory_;
    TIFF* tiff_ = nullptr;
};

// How the first image's samples are stored.
struct Layout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bits = 0;
    std::uint16_t samples = 1;
    std::uint16_t format = SAMPLEFORMAT_UINT;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    bool tiled = false;
    std::uint32_t chunkWidth = 0;  // a tile's, or the image's for strips
    std::uint32_t chunkRows = 0;   // a tile's, or a strip's

    bool taken() const {
        return samples >= 1 &&
               ((format == SAMPLEFORMAT_IEEEFP && (bits == 16 || bits == 32 || bits == 64)) ||
                (bits == 32 && (format == SAMPLEFORMAT_UINT || format == SAMPLEFORMAT_INT)));
    }
    int colours() const { return samples >= 3 ? 3 : 1; }
    std::size_t sampleBytes() const { return bits / 8U; }
};

bool readLayout(TIFF* tiff, Layout& layout) {
    if (tiff == nullptr || !TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width) ||
        !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height)) {
        return false;
    }
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &layout.format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &layout.planar);
    layout.tiled = TIFFIsTiled(tiff) != 0;
    if (layout.tiled) {
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &layout.chunkWidth);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &layout.chunkRows);
    } else {
        layout.chunkWidth = layout.width;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &layout.chunkRows);
        layout.chunkRows = std::min(layout.chunkRows, layout.height);
    }
    return layout.chunkWidth > 0 && layout.chunkRows > 0;
}

float fromHalf(std::uint16_t half) {
    const std::uint32_t sign = static_cast<std::uint32_t>(half & 0x8000U) << 16;
    const std::uint32_t exponent = (half >> 10) & 0x1FU;
    const std::uint32_t mantissa = half & 0x3FFU;
    if (exponent == 0) {
        const float magnitude = std::ldexp(static_cast<float>(mantissa), -24);
        return sign != 0 ? -magnitude : magnitude;
    }
    if (exponent == 31) {
        return mantissa != 0 ? std::numeric_limits<float>::quiet_NaN()
                             : std::bit_cast<float>(sign | 0x7F800000U);
    }
    return std::bit_cast<float>(sign | ((exponent + 112) << 23) | (mantissa << 13));
}

double sampleAt(const unsigned char* at, const Layout& layout) {
    if (layout.format == SAMPLEFORMAT_IEEEFP) {
        if (layout.bits == 16) {
            std::uint16_t half = 0;
            std::memcpy(&half, at, 2);
            return fromHalf(half);
        }
        if (layout.bits == 32) {
            float value = 0;
            std::memcpy(&value, at, 4);
            return value;
        }
        double value = 0;
        std::memcpy(&value, at, 8);
        return value;
    }
    if (layout.format == SAMPLEFORMAT_INT) {
        std::int32_t value = 0;
        std::memcpy(&value, at, 4);
        return value;
    }
    std::uint32_t value = 0;
    std::memcpy(&value, at, 4);
    return value;
}

// Adds one decoded strip or tile, a colour's share of each sample, into the picture. plane:
// the sample of a chunk that holds one; -1 for a chunk of whole pixels.
void addChunk(const std::vector<unsigned char>& chunk, const Layout& layout, std::uint32_t left,
              std::uint32_t top, int plane, GreyImage& image) {
    const int colours = layout.colours();
    const std::size_t step = layout.sampleBytes() * (plane < 0 ? layout.samples : 1);
    const std::uint32_t rows = std::min(layout.chunkRows, layout.height - top);
    const std::uint32_t columns = std::min(layout.chunkWidth, layout.width - left);
    for (std::uint32_t row = 0; row < rows; ++row) {
        // Rows run downward in the file, upward in the picture.
        float* out = image.pixels.get() +
                     static_cast<std::size_t>(layout.height - 1 - (top + row)) * layout.width +
                     left;
        const unsigned char* in =
            chunk.data() + static_cast<std::size_t>(row) * layout.chunkWidth * step;
        for (std::uint32_t column = 0; column < columns; ++column, in += step) {
            double share = 0;
            if (plane < 0) {
                for (int c = 0; c < colours; ++c) {
                    share +=
                        sampleAt(in + static_cast<std::size_t>(c) * layout.sampleBytes(), layout);
                }
            } else {
                share = sampleAt(in, layout);
            }
            out[column] += static_cast<float>(share / colours);
        }
    }
}

// The bytes of one strip or tile, as libtiff decodes it.
tmsize_t chunkSize(TIFF* tiff, const Layout& layout) {
    return layout.tiled ? TIFFTileSize(tiff) : TIFFStripSize(tiff);
}

// No strip or tile of a picture holds more than the whole picture in four 64-bit samples a
// pixel (a small one may be padded out to a usual tile): a few damaged bytes can declare tiles
// of hundreds of gigabytes, which libtiff takes before a byte of them is read.
bool chunkFits(tmsize_t size, const Layout& layout) {
    constexpr double kMostChunkBytes = 64.0 * (1 << 20);
    const double picture = static_cast<double>(layout.width) * layout.height * 4 * 8;
    return size > 0 && static_cast<double>(size) <= std::max(picture, kMostChunkBytes);
}

// Every strip or tile of the first three samples, added up into the picture.
Result<> readChunks(TIFF* tiff, const Layout& layout, GreyImage& image, RunMonitor* monitor,
                    const LibraryText& said, const std::string& path) {
    const std::uint32_t across = (layout.width + layout.chunkWidth - 1) / layout.chunkWidth;
    const std::uint32_t down = (layout.height + layout.chunkRows - 1) / layout.chunkRows;
    const std::uint32_t perPlane = across * down;
    const bool apart = layout.planar == PLANARCONFIG_SEPARATE && layout.samples > 1;
    const std::uint32_t chunks =
        apart ? perPlane * static_cast<std::uint32_t>(layout.colours()) : perPlane;
    const tmsize_t size = chunkSize(tiff, layout);
    if (!chunkFits(size, layout)) return Fault{PhotoMessages::damaged(path), said.text()};
    std::vector<unsigned char> chunk(static_cast<std::size_t>(size));
    std::fill(image.pixels.get(), image.pixels.get() + image.size(), 0.0F);
    for (std::uint32_t i = 0; i < chunks; ++i) {
        if (monitor != nullptr && !monitor->proceed(PhotoMessages::kReadingStage, i, chunks)) {
            return Cancelled{};
        }
        const tmsize_t got = layout.tiled ? TIFFReadEncodedTile(tiff, i, chunk.data(), size)
                                          : TIFFReadEncodedStrip(tiff, i, chunk.data(), size);
        if (got < 0) return Fault{PhotoMessages::damaged(path), said.text()};
        const std::uint32_t inPlane = i % perPlane;
        addChunk(chunk, layout, inPlane % across * layout.chunkWidth,
                 inPlane / across * layout.chunkRows, apart ? static_cast<int>(i / perPlane) : -1,
                 image);
    }
    for (std::size_t i = 0; i < image.size(); ++i) {
        if (std::isinf(image.pixels[i])) image.pixels[i] = std::numeric_limits<float>::quiet_NaN();
    }
    return {};
}

}  // namespace

bool TiffPicture::takes(const std::string& path, const std::string* content) {
    LibraryText dropped;
    const TiffHandle tiff(path, content);
    Layout layout;
    return readLayout(tiff.get(), layout) && layout.taken();
}

bool TiffPicture::chunksFit(const std::string& path, const std::string* content) {
    LibraryText dropped;
    const TiffHandle tiff(path, content);
    Layout layout;
    if (!readLayout(tiff.get(), layout)) return true;  // no image for the reader to take
    return chunkFits(chunkSize(tiff.get(), layout), layout);
}

std::optional<PictureSize> TiffPicture::size(const std::string& path, const std::string* content) {
    LibraryText dropped;
    const TiffHandle tiff(path, content);
    Layout layout;
    if (!readLayout(tiff.get(), layout) || layout.width > GreyImage::kLargestSide ||
        layout.height > GreyImage::kLargestSide) {
        return {};
    }
    return PictureSize{static_cast<int>(layout.width), static_cast<int>(layout.height)};
}

Result<> TiffPicture::read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                           const std::string* content) {
    if (Result<> start = startReading(path, monitor, content == nullptr); !start.done()) {
        return start;
    }
    LibraryText said;
    const TiffHandle tiff(path, content);
    Layout layout;
    if (!readLayout(tiff.get(), layout) || !layout.taken()) {
        return Fault{PhotoMessages::damaged(path), said.text()};
    }
    const auto fits = [](std::uint32_t side) {
        return side >= 1 && side <= GreyImage::kLargestSide;
    };
    if (!fits(layout.width) || !fits(layout.height)) {
        return Fault{PhotoMessages::badSide(path, layout.width, layout.height), {}};
    }
    if (!PictureMemory::allocate(image, static_cast<int>(layout.width),
                                 static_cast<int>(layout.height))) {
        return Fault{PhotoMessages::outOfMemory(path, layout.width, layout.height), {}};
    }
    if (layout.format == SAMPLEFORMAT_IEEEFP) {
        image.saturation.reset();
    } else {
        image.saturation = (layout.format == SAMPLEFORMAT_INT ? 2147483647.0 : 4294967295.0) - 0.5;
    }
    return readChunks(tiff.get(), layout, image, monitor, said, path);
}
