#pragma once

#include <fitsio.h>

#include <string>

// What CFITSIO takes on trust in a tile-compressed image: that each tile's bytes lie in the
// heap (it allocates what a descriptor says, gigabytes for a damaged one, whatever the
// compression), and, for Rice, that they hold the tile's pixels. A damaged tile (one byte zeroed in
// a descriptor or in the codes) makes it read on past the tile's bytes until the process dies. Each
// tile's codes are walked here first, as the decoder would walk them, counting bytes without making
// a pixel, so that such a file is refused before it is decoded. Gzip-compressed tiles are inflated
// here first, counting only, and refused when they grow past the tile's pixels; HCOMPRESS tiles
// are decoded here first where a damaged one cannot read past its bytes (HcompressTile).
class CompressedTiles {
public:
    // For the current HDU: empty when it is no tile-compressed image or every tile is sound;
    // else what is wrong (Japanese, for a fault's detail).
    static std::string problem(fitsfile* file);
};
