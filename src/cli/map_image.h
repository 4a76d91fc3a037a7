#pragma once

#include <string>

#include "output/output_file.h"
#include "shape/shape_map.h"
#include "text/result.h"

// The star-shape map as a PNG picture in the day look, the reading as its caption. Text on it
// needs OffscreenGui::ensure() first, on the program's main thread.
class MapImage {
public:
    // Encodes the map into the opened file, which is the caller's to put in place.
    static Result<> write(const ShapeMap& map, OutputFile& file);
};
