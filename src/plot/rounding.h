#pragma once

#include <cmath>
#include <cstdint>

// Rounding to whole numbers without library calls (the baseline x86-64 has no rounding
// instruction); values beyond 2^52, infinities and NaN go to the library. Only the sign of a
// zero result can differ, which no caller can tell.
namespace rounding {

// Below this every double is an integer or has a fraction; the rounding below holds there.
constexpr double kLargeDouble = 0x1p52;

inline double floorOf(double v) {
    if (!(std::fabs(v) < kLargeDouble)) return std::floor(v);
    const double t = static_cast<double>(static_cast<std::int64_t>(v));
    return t > v ? t - 1 : t;
}

inline double ceilOf(double v) {
    if (!(std::fabs(v) < kLargeDouble)) return std::ceil(v);
    const double t = static_cast<double>(static_cast<std::int64_t>(v));
    return t < v ? t + 1 : t;
}

// The nearest integer, halves to even, as std::nearbyint in the default rounding mode: adding
// and taking away 2^52 leaves no fraction, rounded that way.
inline double nearestOf(double v) {
    if (!(std::fabs(v) < kLargeDouble)) return std::nearbyint(v);
    if (v < 0) return -((-v + kLargeDouble) - kLargeDouble);
    return (v + kLargeDouble) - kLargeDouble;
}

}  // namespace rounding
