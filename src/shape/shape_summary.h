#pragma once

#include <cstdint>
#include <optional>

// The numbers of a set of stars, the whole frame or one region. A number that has no stars to
// stand on (or no elongation to weigh: E = 0) is empty.
struct ShapeSummary {
    std::int64_t n = 0;
    std::int64_t singles = 0;
    std::int64_t doubles = 0;
    std::optional<double> doubleFraction;  // doubles / n
    std::optional<double> size;            // median of s
    std::optional<double> roundness;       // median of q
    std::optional<double> elongation;      // mean of e
    std::optional<double> direction;       // ½·atan2(S, C), degrees in [0, 180)
    std::optional<double> coherence;  // √(C² + S²) / E: 1 when every star points the same way
    std::optional<double> radial;  // Σ e·cos 2(θ − φ) / E: +1 along the radius, −1 across
};
