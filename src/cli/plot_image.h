#pragma once

#include "output/output_file.h"
#include "raster/raster_surface.h"
#include "text/result.h"

// The plot as an image file: PNG for a name ending in ".png" (any case), a Windows bitmap for
// any other.
class PlotImage {
public:
    // Encodes the plot into the opened file, which is the caller's to put in place.
    static Result<> write(const RasterSurface& raster, OutputFile& file);
};
