#pragma once

#include <QImage>
#include <functional>
#include <string>
#include <string_view>

#include "raster/raster_surface.h"
#include "text/result.h"

// The plotter's image files through Qt's writers, as the window writes them.
class QtImageWriter {
public:
    // The plot as the image file `path`, PNG for a name ending in ".png" (any case), a Windows
    // bitmap otherwise; its bytes are handed to `write` in order. The fault when it cannot be
    // encoded.
    static Result<> writeImage(const RasterSurface& plot, const std::string& path,
                               const std::function<void(std::string_view)>& write);
    // A picture as PNG, its bytes handed to `write` in order; false when it cannot be encoded.
    static bool writePng(const QImage& picture, const std::function<void(std::string_view)>& write);
};
