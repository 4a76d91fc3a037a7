#pragma once

#include <string>

// The name a plot is exported under: the extension after the last dot of the file name is
// replaced by "bmp", or ".bmp" is added where there is none ("plot.jpg" and "plot" give
// "plot.bmp"). A dot in a folder name or at the start of the file name is no extension.
std::string bitmapFileName(const std::string& chosen);
