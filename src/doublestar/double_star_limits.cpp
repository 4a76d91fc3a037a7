#include "doublestar/double_star_limits.h"

#include "text/parse_number.h"

DoubleStarLimits DoubleStarLimits::from(const ThresholdTable& table) {
    DoubleStarLimits limits;
    limits.radialAngleCorrection = ParseNumber(table.radialAngleCorrection);
    limits.andMode = table.andSelected;
    for (std::size_t c = 0; c < limits.classes.size(); ++c) {
        limits.classes[c].circularity = ParseNumber(table.circularity[c]);
        limits.classes[c].areaRatio = ParseNumber(table.areaRatio[c]);
        limits.classes[c].circleOccupancy =
            static_cast<float>(ParseNumber(table.circleOccupancy[c]));
    }
    return limits;
}
