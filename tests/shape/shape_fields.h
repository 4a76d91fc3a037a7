#pragma once

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "shape/shape_map.h"

// Star fields made by hand for the map's tests: a lattice of stars over a 3000 × 2000 plot, each
// star shaped by a function of its place.
namespace shape_fields {

inline constexpr int kWidth = 3000;
inline constexpr int kHeight = 2000;

// The direction from the plot's centre to (x, y), degrees counter-clockwise with y up.
inline double radialOf(double x, double y) {
    return std::atan2(kHeight / 2.0 - y, x - kWidth / 2.0) / std::numbers::pi * 180;
}

// columns × rows stars at the centres of equal cells, shaped by `shape`.
inline std::vector<ShapeStar> lattice(int columns, int rows,
                                      const std::function<void(ShapeStar&)>& shape) {
    std::vector<ShapeStar> stars;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            ShapeStar star;
            star.x = (i + 0.5) * kWidth / columns;
            star.y = (j + 0.5) * kHeight / rows;
            star.roundness = 0.95;
            star.size = 3;
            shape(star);
            stars.push_back(star);
        }
    }
    return stars;
}

inline ShapeMap mapOf(std::vector<ShapeStar> stars, int grid = ShapeMap::kDefaultGrid) {
    return {std::make_shared<const std::vector<ShapeStar>>(std::move(stars)), kWidth, kHeight,
            grid};
}

}  // namespace shape_fields
