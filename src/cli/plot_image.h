#pragma once

#include <string>

#include "output/output_file.h"
#include "raster/raster_surface.h"
#include "text/result.h"

// The plot as an image file: PNG for a name ending in ".png" (any case), a Windows bitmap for
// any other, put in place only once whole.
class PlotImage {
public:
    static Result<> save(const RasterSurface& raster, const std::string& path);
};
