#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "doublestar/area_class.h"

// Per-class counts of one run. Slot k holds class k - 1; slots 0, 9 and 10 are never used.
// A single-star slot stays empty until its first star.
using SingleCounts = std::array<std::optional<std::int64_t>, 11>;
using DoubleCounts = std::array<std::int64_t, 11>;

// The captions of the count cells of the double-star window, row by row: an empty single slot
// gives the empty text.
struct CountTexts {
    std::array<std::string, AreaClass::kCount> single;
    std::array<std::string, AreaClass::kCount> doubles;

    static CountTexts of(const SingleCounts& single, const DoubleCounts& doubles);
};
