#pragma once

#include <string>

#include "shape/shape_summary.h"

// One region of the map's grid, numbered from 1 at the top left.
struct ShapeRegion {
    int column = 1;
    int row = 1;
    std::string name;  // 左上 … 右下 in a 3 × 3 grid, 「列 c・行 r」 in any other
    ShapeSummary summary;
};
