#pragma once

#include "plot/star_record.h"

// The plot's own value of pi. Every angle conversion and every circle area of the classification
// and the drawing uses it, so the counts and pixels of a star list stay those the analysis was
// tuned with; the true pi would move stars across the limits.
inline constexpr double kPlotPi = 3.14;

// A star's radius for a divisor: the star size alone for small stars, else the size times the
// roundness. The drawing divides by the size scale, the occupancy test by 3.
inline double starRadius(const StarRecord& star, double divisor) {
    if (star.size <= 3) return star.size / divisor;
    return star.size * star.roundness / divisor;
}
