#include "raster/bitmap_name.h"

std::string bitmapFileName(const std::string& chosen) {
    const auto slash = chosen.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = chosen.find_last_of('.');
    if (dot == std::string::npos || dot <= nameStart) return chosen + ".bmp";
    return chosen.substr(0, dot + 1) + "bmp";
}
