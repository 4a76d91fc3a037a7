#pragma once

#include <string>

#include "shape/shape_map.h"
#include "text/result.h"

// The star-shape map as a PNG picture in the day look, the reading as its caption, put in place
// only once whole. Text on it needs OffscreenGui::ensure() first, on the program's main thread.
class MapImage {
public:
    static Result<> save(const ShapeMap& map, const std::string& path);
};
