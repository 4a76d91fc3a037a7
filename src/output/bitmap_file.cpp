#include "output/bitmap_file.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::size_t kColours = 256;
// 100 dots per inch, the resolution an image has by default where no screen sets one.
constexpr std::uint32_t kDotsPerMetre = 3937;

template <std::size_t N>
void put16(std::array<char, N>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<char>(value & 0xFFU);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xFFU);
}

template <std::size_t N>
void put32(std::array<char, N>& bytes, std::size_t at, std::uint32_t value) {
    put16(bytes, at, value & 0xFFFFU);
    put16(bytes, at + 2, value >> 16);
}

}  // namespace

void BitmapFile::write(const std::uint8_t* rows, int width, int height, int stride,
                       OutputFile& file) {
    constexpr std::size_t kStart = kFileHeader + kInfoHeader + 4 * kColours;
    const auto imageBytes = static_cast<std::uint32_t>(stride) * static_cast<std::uint32_t>(height);
    std::array<char, kStart> head{};
    head[0] = 'B';
    head[1] = 'M';
    put32(head, 2, static_cast<std::uint32_t>(kStart) + imageBytes);
    put32(head, 10, static_cast<std::uint32_t>(kStart));
    put32(head, 14, static_cast<std::uint32_t>(kInfoHeader));
    put32(head, 18, static_cast<std::uint32_t>(width));
    put32(head, 22, static_cast<std::uint32_t>(height));
    put16(head, 26, 1);  // planes
    put16(head, 28, 8);  // bits per pixel; compression 0
    put32(head, 34, imageBytes);
    put32(head, 38, kDotsPerMetre);
    put32(head, 42, kDotsPerMetre);
    put32(head, 46, static_cast<std::uint32_t>(kColours));
    put32(head, 50, static_cast<std::uint32_t>(kColours));
    for (std::size_t grey = 0; grey < kColours; ++grey) {
        const std::size_t at = kFileHeader + kInfoHeader + 4 * grey;
        head[at] = head[at + 1] = head[at + 2] = static_cast<char>(grey);
    }
    file.write({head.data(), head.size()});
    const auto rowBytes = static_cast<std::size_t>(stride);
    for (int j = height; j-- > 0;) {
        const auto* row = rows + static_cast<std::size_t>(j) * rowBytes;
        file.write({reinterpret_cast<const char*>(row), rowBytes});
    }
}
