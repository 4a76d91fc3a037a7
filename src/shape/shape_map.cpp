#include "shape/shape_map.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "shape/median.h"
#include "shape/region_name.h"
#include "shape/shape_reading.h"
#include "shape/shape_tally.h"

namespace {

// 100 × difference / the frame's size; empty where that is no number (a frame size of 0).
std::optional<double> percentOfFrame(double difference, const std::optional<double>& frameSize) {
    if (!frameSize) return std::nullopt;
    const double percent = 100 * difference / *frameSize;
    if (!std::isfinite(percent)) return std::nullopt;
    return percent;
}

}  // namespace

ShapeMap::ShapeMap(ShapeStars stars, int width, int height, int grid)
    : stars_(std::move(stars)),
      width_(width),
      height_(height),
      grid_(std::clamp(grid, 1, kLargestGrid)) {
    const auto w = static_cast<double>(width_);
    const auto h = static_cast<double>(height_);
    const double halfDiagonal = std::sqrt(w * w + h * h) / 2;
    ShapeTally frame;
    std::vector<ShapeTally> regions(static_cast<std::size_t>(grid_ * grid_));
    std::vector<double> centre;
    std::vector<double> edge;
    for (const ShapeStar& star : this->stars()) {
        const StarTerms terms = ShapeTally::termsOf(star, w, h);
        frame.add(star, terms);
        if (const std::optional<std::size_t> k = regionOf(star)) regions[*k].add(star, terms);
        if (terms.radius > 0.75 * halfDiagonal) edge.push_back(star.size);
        if (terms.radius < 0.25 * halfDiagonal) centre.push_back(star.size);
    }
    frame_ = frame.summary();
    regions_.reserve(regions.size());
    for (int row = 1; row <= grid_; ++row) {
        for (int column = 1; column <= grid_; ++column) {
            ShapeTally& tally = regions[indexOf(column, row)];
            regions_.push_back({column, row, regionName(column, row, grid_), tally.summary()});
        }
    }
    measureTilt();
    if (std::ssize(centre) >= kFewestForSize && std::ssize(edge) >= kFewestForSize) {
        centreSize_ = median(centre);
        edgeSize_ = median(edge);
        curvature_ = percentOfFrame(*edgeSize_ - *centreSize_, frame_.size);
    }
    reading_ = ShapeReading::of(*this);
}

std::optional<std::size_t> ShapeMap::regionOf(const ShapeStar& star) const {
    const auto n = static_cast<double>(grid_);
    const double column = std::floor(n * star.x / static_cast<double>(width_));
    const double row = std::floor(n * star.y / static_cast<double>(height_));
    // Also a NaN, or the infinity of a plot without width, falls outside.
    if (!(column >= 0 && column < n && row >= 0 && row < n)) return std::nullopt;
    return indexOf(static_cast<int>(column) + 1, static_cast<int>(row) + 1);
}

std::size_t ShapeMap::indexOf(int column, int row) const {
    return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(grid_) +
           static_cast<std::size_t>(column - 1);
}

void ShapeMap::measureTilt() {
    if (grid_ < 2) return;
    const std::array<const ShapeRegion*, 4> corners = {&region(1, 1), &region(grid_, 1),
                                                       &region(1, grid_), &region(grid_, grid_)};
    double largest = 0;
    double smallest = 0;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const ShapeSummary& corner = corners[k]->summary;
        if (corner.n < kFewestForSize) return;
        largest = k == 0 ? *corner.size : std::max(largest, *corner.size);
        smallest = k == 0 ? *corner.size : std::min(smallest, *corner.size);
    }
    tilt_ = percentOfFrame(largest - smallest, frame_.size);
}

const ShapeRegion& ShapeMap::region(int column, int row) const {
    return regions_[indexOf(column, row)];
}

std::string ShapeMap::readingCodes() const {
    std::string codes;
    for (const ReadingLine& line : reading_) {
        if (!codes.empty()) codes += '+';
        codes += line.code;
    }
    return codes;
}

std::span<const ShapeStar> ShapeMap::stars() const {
    if (!stars_) return {};
    return *stars_;
}
