#pragma once

#include <algorithm>
#include <memory>
#include <vector>

// What the star-shape map keeps of one drawn star: its centre (y down), its angle (degrees,
// counter-clockwise, y up; single precision as the star list's reader gives it), its roundness,
// its size s (the FWHM where its source measures one, its Size otherwise) and whether it was
// classified double.
struct ShapeStar {
    double x = 0;
    double y = 0;
    double roundness = 0;
    double size = 0;
    float angle = 0;
    bool isDouble = false;

    // e = min(max(1 − q, 0), 1): 0 for a round star, up to 1 for a line.
    double elongation() const { return std::min(std::max(1 - roundness, 0.0), 1.0); }
};

// The stars of one run, shared between the map of each grid size and the picture.
using ShapeStars = std::shared_ptr<const std::vector<ShapeStar>>;
