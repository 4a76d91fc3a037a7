#pragma once

#include <string>

#include "shape/shape_map.h"

// The star-shape map as one JSON object: the plot's size and the grid, the frame's numbers, the
// regions row by row from the top left, and the reading. Numbers in their shortest form that
// reads back as the same double; a number the map does not have is null.
class ShapeMapJson {
public:
    static std::string text(const ShapeMap& map);
};
