#include "sources/photo/hcompress_tile.h"

#include <fitsio.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// The tile's header: a 2-byte magic code, then nx, ny, scale (4 bytes each, most significant
// first), the sum of all pixels (8) and the bit planes of the three quadrant kinds (1 each).
constexpr std::size_t kHeaderBytes = 25;
constexpr std::array<unsigned char, 2> kMagic = {0xDD, 0x99};

std::int32_t bigEndian(const unsigned char* at) {
    const std::uint32_t value = std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 |
                                std::uint32_t{at[2]} << 8 | std::uint32_t{at[3]};
    return static_cast<std::int32_t>(value);
}

// Padding nybbles of 1 and of 14 are no bit plane's format code (0 or 15) and no end code (0):
// the decoder stops with an error at the first one it takes as such. Their bits are each
// other's complement, so any bit read from them changes what is decoded.
constexpr unsigned char kLowPattern = 0x11;
constexpr unsigned char kHighPattern = 0xEE;

// Decodes a copy of the tile followed by `padding` bytes of `pattern` into `pixels`; true when
// CFITSIO reported no error.
template <typename Pixel>
bool decode(const std::vector<unsigned char>& bytes, std::size_t padding, unsigned char pattern,
            std::vector<Pixel>& pixels) {
    std::vector<unsigned char> input(bytes.size() + padding, pattern);
    std::copy(bytes.begin(), bytes.end(), input.begin());
    std::fill(pixels.begin(), pixels.end(), Pixel{});
    int nx = 0;
    int ny = 0;
    int scale = 0;
    int status = 0;
    if constexpr (sizeof(Pixel) == sizeof(int)) {
        fits_hdecompress(input.data(), 0, pixels.data(), &nx, &ny, &scale, &status);
    } else {
        fits_hdecompress64(input.data(), 0, pixels.data(), &nx, &ny, &scale, &status);
    }
    return status == 0;
}

template <typename Pixel>
bool decodesWithin(const std::vector<unsigned char>& bytes, long pixels, std::size_t padding) {
    std::vector<Pixel> low(static_cast<std::size_t>(pixels));
    std::vector<Pixel> high(static_cast<std::size_t>(pixels));
    return decode(bytes, padding, kLowPattern, low) && decode(bytes, padding, kHighPattern, high) &&
           low == high;
}

// The codes one bit plane of a quadrant of nqx by nqy can take at most: its format nybble, then
// either 4-bit codes for each 2 by 2 block or a quadtree of up to 6-bit codes, whose levels
// hold at most twice as many nodes as its last one.
std::size_t planeBits(int nqx, int nqy) {
    const auto blocks =
        static_cast<std::size_t>((nqx + 1) / 2) * static_cast<std::size_t>((nqy + 1) / 2);
    int levels = 0;
    while ((1 << levels) < std::max(nqx, nqy)) ++levels;
    const auto edges = static_cast<std::size_t>(nqx) + static_cast<std::size_t>(nqy);
    return 4 + std::max(4 * blocks,
                        6 * (2 * blocks + 2 * edges + static_cast<std::size_t>(levels) + 1));
}

}  // namespace

std::size_t HcompressTile::paddingFor(int nx, int ny) {
    // Entering the padding within a bit plane, the decoder finishes that plane and stops at
    // the next code; entering it for the sign bits, it reads one bit a pixel at most.
    const std::size_t plane = planeBits((nx + 1) / 2, (ny + 1) / 2);
    const std::size_t signs = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
    return std::max(plane, signs) / 8 + 16;
}

bool HcompressTile::sound(const std::vector<unsigned char>& bytes, long pixels, bool wide) {
    if (bytes.size() < kHeaderBytes || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        return false;
    }
    const std::int32_t nx = bigEndian(bytes.data() + 2);
    const std::int32_t ny = bigEndian(bytes.data() + 6);
    // The decoder writes nx * ny pixels into a buffer of the tile's.
    if (nx < 1 || ny < 1 || static_cast<long long>(nx) * ny != pixels) return false;
    const int mostPlanes = wide ? 64 : 32;
    for (std::size_t quadrant = 22; quadrant < kHeaderBytes; ++quadrant) {
        if (bytes[quadrant] > mostPlanes) return false;
    }
    const std::size_t padding = paddingFor(nx, ny);
    return wide ? decodesWithin<LONGLONG>(bytes, pixels, padding)
                : decodesWithin<int>(bytes, pixels, padding);
}
