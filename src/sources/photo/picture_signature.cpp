#include "sources/photo/picture_signature.h"

#include <array>
#include <cstdlib>

namespace {

using namespace std::string_view_literals;

std::uint32_t littleEndian(std::string_view head, std::size_t at, std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(head[at + i]);
    }
    return value;
}

// What a BMP's header says, as far as its size goes.
struct BmpHeader {
    std::uint32_t dataOffset = 0;
    std::uint32_t infoSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
};

bool readBmp(std::string_view head, BmpHeader& bmp) {
    if (head.size() < 26 || !head.starts_with("BM")) return false;
    bmp.dataOffset = littleEndian(head, 10, 4);
    bmp.infoSize = littleEndian(head, 14, 4);
    if (bmp.infoSize == 12) {  // OS/2's core header
        bmp.width = littleEndian(head, 18, 2);
        bmp.height = littleEndian(head, 20, 2);
        bmp.planes = littleEndian(head, 22, 2);
        bmp.bits = littleEndian(head, 24, 2);
        return true;
    }
    static constexpr std::array<std::uint32_t, 6> kInfoSizes{40, 52, 56, 64, 108, 124};
    bool known = false;
    for (const std::uint32_t size : kInfoSizes) known = known || size == bmp.infoSize;
    if (!known || head.size() < 38) return false;
    bmp.width = static_cast<std::int32_t>(littleEndian(head, 18, 4));
    bmp.height = static_cast<std::int32_t>(littleEndian(head, 22, 4));
    bmp.planes = littleEndian(head, 26, 2);
    bmp.bits = littleEndian(head, 28, 2);
    bmp.compression = littleEndian(head, 30, 4);
    bmp.imageSize = littleEndian(head, 34, 4);
    return true;
}

bool isBmp(std::string_view head) {
    BmpHeader bmp;
    if (!readBmp(head, bmp)) return false;
    static constexpr std::array<std::uint32_t, 7> kBits{1, 2, 4, 8, 16, 24, 32};
    bool bits = false;
    for (const std::uint32_t b : kBits) bits = bits || b == bmp.bits;
    return bits && bmp.planes == 1 && bmp.width > 0 && bmp.height != 0 && bmp.compression <= 6 &&
           bmp.dataOffset >= 14 + bmp.infoSize;
}

// The bytes a BMP's pixels take after its data offset; 0 where the header does not say.
std::uint64_t bmpPixelBytes(const BmpHeader& bmp) {
    // Uncompressed (or bit fields): every row padded to four bytes.
    if (bmp.compression == 0 || bmp.compression == 3 || bmp.compression == 6) {
        const std::uint64_t row = (static_cast<std::uint64_t>(bmp.width) * bmp.bits + 31) / 32 * 4;
        return row * static_cast<std::uint64_t>(std::llabs(bmp.height));
    }
    return bmp.imageSize;  // run-length and embedded formats give their size
}

}  // namespace

PictureSignature::Format PictureSignature::of(std::string_view head) {
    if (head.starts_with("\x89PNG\r\n\x1A\n"sv)) return Format::Png;
    if (head.starts_with("\xFF\xD8\xFF"sv)) return Format::Jpeg;
    if (head.starts_with("II*\0"sv) || head.starts_with("MM\0*"sv) || head.starts_with("II+\0"sv) ||
        head.starts_with("MM\0+"sv)) {
        return Format::Tiff;
    }
    if (head.starts_with("GIF87a"sv) || head.starts_with("GIF89a"sv)) return Format::Gif;
    if (head.size() >= 12 && head.starts_with("RIFF"sv) && head.substr(8, 4) == "WEBP"sv) {
        return Format::Webp;
    }
    if (isBmp(head)) return Format::Bmp;
    return Format::None;
}

bool PictureSignature::whole(Format format, std::string_view head, std::uint64_t size,
                             unsigned char last) {
    switch (format) {
        case Format::Bmp: {
            BmpHeader bmp;
            return readBmp(head, bmp) && size >= bmp.dataOffset + bmpPixelBytes(bmp);
        }
        case Format::Gif:
            return last == 0x3B;  // the trailer
        default:
            return true;
    }
}
