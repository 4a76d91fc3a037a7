#pragma once

#include <cstddef>
#include <vector>

// Whether one HCOMPRESS tile decodes within its own bytes. CFITSIO's decoder is given no length:
// it reads a damaged tile's codes on past the tile until the process dies, and writes as many
// pixels as the tile's own header says. The header is checked against the tile, and the tile is
// decoded twice here, each time followed by padding of one of two complementary byte patterns
// chosen to end the decoding soon after it enters them; a tile that decodes without error and
// to the same pixels both times never read past its end.
class HcompressTile {
public:
    // bytes: the tile's compressed bytes; pixels: the tile's pixel count; wide: whether CFITSIO
    // decodes it in 64 bits (every pixel type but 8- and 16-bit integers).
    static bool sound(const std::vector<unsigned char>& bytes, long pixels, bool wide);

private:
    // The most bytes a decoding can read past the tile's end before the padding stops it.
    static std::size_t paddingFor(int nx, int ny);
};
