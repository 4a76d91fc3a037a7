#pragma once

#include <array>

#include "doublestar/area_class.h"
#include "doublestar/threshold_table.h"

// The double-star limits as numbers, converted from the table's texts once at the start of a run:
// a run never yields, so the texts cannot change under it.
struct DoubleStarLimits {
    struct ClassLimits {
        double circularity = 0;
        double areaRatio = 0;
        float circleOccupancy = 0;  // single precision, as the table has always compared it
    };

    std::array<ClassLimits, AreaClass::kCount> classes{};
    double radialAngleCorrection = 0;
    bool andMode = true;

    static DoubleStarLimits from(const ThresholdTable& table);
};
