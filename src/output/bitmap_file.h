#pragma once

#include <cstdint>

#include "output/output_file.h"

// The plot as an uncompressed 8-bit BMP with a grey palette: rows bottom up, each padded to whole
// 4-byte words, at 100 dots per inch. These are the bytes Qt's BMP writer gives the same plot,
// written straight from the plot's rows, which already have that padding.
class BitmapFile {
public:
    // rows: width pixels each, `stride` bytes apart (a multiple of 4, padding zero).
    static void write(const std::uint8_t* rows, int width, int height, int stride,
                      OutputFile& file);
};
