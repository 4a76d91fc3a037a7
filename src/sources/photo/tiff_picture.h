#pragma once

#include <optional>
#include <string>

#include "plot/run_monitor.h"
#include "sources/photo/grey_image.h"
#include "text/result.h"

// The TIFFs whose samples Qt's reader does not take, read with libtiff: floating point of 16, 32
// or 64 bits and integers of 32 bits, grey or colour (the first three samples averaged), in
// strips or tiles, planes together or apart; rows running downward. Integer samples saturate at
// their largest value less 0.5; floating-point samples have no saturation, and an infinite one
// is blank (NaN).
class TiffPicture {
public:
    // True when the file is a TIFF of such samples. content: the file's bytes where it cannot
    // be read by name (a pipe); nullptr reads the file of that name, here and below.
    static bool takes(const std::string& path, const std::string* content = nullptr);
    static Result<> read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                         const std::string* content = nullptr);
    // False for a TIFF whose first image declares a strip or tile larger than the whole picture
    // could need, whichever reader takes it: libtiff allocates it at its word.
    static bool chunksFit(const std::string& path, const std::string* content = nullptr);
    static std::optional<PictureSize> size(const std::string& path,
                                           const std::string* content = nullptr);
};
