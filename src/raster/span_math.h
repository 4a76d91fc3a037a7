#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "plot/rounding.h"

// The arithmetic the raster's circles share: rounding without library calls, the fill test's
// limit, short byte runs, and mending an estimated run of columns.
namespace span_math {

using rounding::ceilOf;
using rounding::floorOf;

// ceil and floor for |v| < 2^31.
inline int ceilInt(double v) {
    const auto t = static_cast<int>(v);
    return static_cast<double>(t) < v ? t + 1 : t;
}

inline int floorInt(double v) {
    const auto t = static_cast<int>(v);
    return static_cast<double>(t) > v ? t - 1 : t;
}

// The pixel whose centre is nearest to v: floor(v + 0.5), kept in double so that far-off or
// non-finite coordinates can be clipped before any conversion to int.
inline double pixelOf(double v) {
    return floorOf(v + 0.5);
}

// Clamps v to [lo, hi] (NaN goes to lo) and converts it.
inline int clampToInt(double v, int lo, int hi) {
    if (!(v > lo)) return lo;
    if (v > hi) return hi;
    return static_cast<int>(v);
}

// The rows a circle reaches, and always the row of its centre, clipped to a plot of the height.
inline void circleRows(double cy, double r, int height, int& top, int& bottom) {
    const double centreRow = pixelOf(cy);
    top = clampToInt(std::min(ceilOf(cy - r), centreRow), 0, height - 1);
    bottom = clampToInt(std::max(floorOf(cy + r), centreRow), 0, height - 1);
}

// The same rows for a circle whose centre and radius lie below 1e8 in magnitude, in int.
inline void tameCircleRows(double cy, double r, int height, int& top, int& bottom) {
    const int centreRow = floorInt(cy + 0.5);
    top = std::clamp(std::min(ceilInt(cy - r), centreRow), 0, height - 1);
    bottom = std::clamp(std::max(floorInt(cy + r), centreRow), 0, height - 1);
}

// The next double above or below a positive finite v.
inline double nextUp(double v) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) + 1);
}

inline double nextDown(double v) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) - 1);
}

// The largest squared distance d2 with sqrt(d2) <= inner, for a finite inner of 0 or more. The
// square root is correctly rounded and so monotone: a pixel is inside the fill (no further than
// inner from the centre) exactly when its squared distance is at most this limit, and the test
// needs no square root per pixel.
inline double fillLimit(double inner) {
    double limit = inner * inner;
    while (limit > 0 && std::sqrt(limit) > inner) limit = nextDown(limit);
    while (std::sqrt(nextUp(limit)) <= inner) limit = nextUp(limit);
    return limit;
}

// Fills n bytes. The runs of a star's circles are short, and a few overlapping stores cost less
// than a call.
inline void fillBytes(std::uint8_t* p, std::size_t n, std::uint8_t grey) {
    if (n >= 16) {
        std::memset(p, grey, n);
    } else if (n >= 8) {
        const std::uint64_t pattern = 0x0101010101010101ULL * grey;
        std::memcpy(p, &pattern, 8);
        std::memcpy(p + n - 8, &pattern, 8);
    } else if (n >= 4) {
        const std::uint32_t pattern = 0x01010101U * grey;
        std::memcpy(p, &pattern, 4);
        std::memcpy(p + n - 4, &pattern, 4);
    } else if (n > 0) {
        p[0] = grey;
        p[n / 2] = grey;
        p[n - 1] = grey;
    }
}

// Mends an estimated run of columns [lo, hi] (empty when lo > hi) into the run for which
// `inside` holds. The test is monotone in the distance from the centre, so the run is the
// columns nearest the centre, and it holds `nearest` (the column of the image nearest the
// centre) unless it is empty. Stepping each end until it agrees with the exact test therefore
// finds the run exactly from any estimate that is empty or holds `nearest`; an empty estimate
// starts from `nearest`. Leaves lo > hi when no column of the image qualifies.
template <typename Inside>
void mendSpan(Inside inside, int last, int nearest, int& lo, int& hi) {
    if (lo > hi) lo = hi = nearest;
    while (lo > 0 && inside(lo - 1)) --lo;
    while (lo <= hi && !inside(lo)) ++lo;
    while (hi < last && inside(hi + 1)) ++hi;
    while (hi >= lo && !inside(hi)) --hi;
}

}  // namespace span_math
