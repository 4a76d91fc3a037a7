#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "shape/reading_line.h"
#include "shape/shape_region.h"
#include "shape/shape_star.h"
#include "shape/shape_summary.h"

// The star-shape map of one run: the numbers of the drawn stars over the whole frame and in each
// region of a grid × grid division of the plot, the frame's tilt and curvature, and the reading
// of them in plain words. The stars stay with the map for its picture.
class ShapeMap {
public:
    static constexpr int kDefaultGrid = 3;
    static constexpr int kLargestGrid = 9;
    // Fewer stars than this in a corner, or in the centre or the edge, tell nothing of its size.
    static constexpr std::int64_t kFewestForSize = 5;

    // width × height: the plot's size in pixels (W × H). grid: N, 1 to kLargestGrid; a number
    // outside is taken as the nearest. Stars may be null for none.
    ShapeMap(ShapeStars stars, int width, int height, int grid = kDefaultGrid);

    int width() const { return width_; }
    int height() const { return height_; }
    int grid() const { return grid_; }
    const ShapeSummary& frame() const { return frame_; }
    // 100 × (largest − smallest corner size) / the frame's size: empty unless the grid has
    // corners of their own (N ≥ 2) with kFewestForSize stars each.
    std::optional<double> tilt() const { return tilt_; }
    // 100 × (edge size − centre size) / the frame's size, the edge beyond 0.75 R and the centre
    // within 0.25 R of the plot's centre, R half the diagonal; empty unless both have
    // kFewestForSize stars.
    std::optional<double> curvature() const { return curvature_; }
    // Medians of s at the centre and at the edge, as the curvature compares them.
    std::optional<double> centreSize() const { return centreSize_; }
    std::optional<double> edgeSize() const { return edgeSize_; }
    // Row by row from the top left.
    const std::vector<ShapeRegion>& regions() const { return regions_; }
    const ShapeRegion& region(int column, int row) const;
    const std::vector<ReadingLine>& reading() const { return reading_; }
    // The reading's codes joined by "+": "trailing+tilt".
    std::string readingCodes() const;
    std::span<const ShapeStar> stars() const;
    const ShapeStars& sharedStars() const { return stars_; }

private:
    // The region the star falls in, row by row from 0, or empty outside the plot.
    std::optional<std::size_t> regionOf(const ShapeStar& star) const;
    // Row by row from 0, of a region numbered from 1.
    std::size_t indexOf(int column, int row) const;
    void measureTilt();

    ShapeStars stars_;
    int width_ = 0;
    int height_ = 0;
    int grid_ = kDefaultGrid;
    ShapeSummary frame_;
    std::optional<double> tilt_;
    std::optional<double> curvature_;
    std::optional<double> centreSize_;
    std::optional<double> edgeSize_;
    std::vector<ShapeRegion> regions_;
    std::vector<ReadingLine> reading_;
};
