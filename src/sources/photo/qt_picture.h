#pragma once

#include <optional>
#include <string>

#include "plot/run_monitor.h"
#include "sources/photo/grey_image.h"
#include "text/result.h"

// Photographs in the formats Qt reads (PNG, JPEG, TIFF, BMP, GIF, WebP), 8 or 16 bits per sample
// or floating point, grey or colour, as one grey picture: colour channels averaged
// ((R + G + B) / 3), alpha ignored, rows running downward. Integer samples saturate at their
// largest value less 0.5 (254.5 for 8 bits). A picture the reader could not read whole (a cut
// JPEG, a BMP or GIF shorter than its header says) is broken, not filled up. Text-based formats
// (XPM, PBM, SVG, ...) are left to the star list, which is text too.
class QtPicture {
public:
    // True when the file's content is a picture in one of the formats above, by its whole
    // signature. content: the file's bytes where it cannot be read by name (a pipe); nullptr
    // reads the file of that name, here and below.
    static bool canRead(const std::string& path, const std::string* content = nullptr);
    // The picture into image; a fault's message names the file, its detail says what the
    // libraries said; cancelled when the monitor said stop.
    static Result<> read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                         const std::string* content = nullptr);
    static std::optional<PictureSize> size(const std::string& path,
                                           const std::string* content = nullptr);
};
