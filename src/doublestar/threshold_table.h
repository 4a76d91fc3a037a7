#pragma once

#include <array>
#include <string>

#include "doublestar/area_class.h"

// The double-star limits as the double-star window shows them: texts, converted when read.
struct ThresholdTable {
    std::array<std::string, AreaClass::kCount> circularity;      // Text1(c), "真円度"
    std::array<std::string, AreaClass::kCount> areaRatio;        // Text2(c), "面積比"
    std::array<std::string, AreaClass::kCount> circleOccupancy;  // Text3(c), "円の占有率"
    std::string radialAngleCorrection;                           // Text4, "放射角補正"
    bool andSelected = true;                                     // "AND" rather than "OR"

    bool operator==(const ThresholdTable&) const = default;
};
