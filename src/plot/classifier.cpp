#include "plot/classifier.h"

#include <cmath>

#include "plot/star_geometry.h"
#include "text/parse_number.h"

Classifier::Classifier(const ThresholdTable& table, std::string_view sensorWidth,
                       std::string_view sensorHeight)
    : radialAngleCorrection_(ParseNumber(table.radialAngleCorrection)),
      andMode_(table.andSelected),
      centreX_(ParseNumber(sensorWidth) / 2),
      centreY_(ParseNumber(sensorHeight) / 2) {
    for (std::size_t c = 0; c < limits_.size(); ++c) {
        limits_[c].circularity = ParseNumber(table.circularity[c]);
        limits_[c].areaRatio = ParseNumber(table.areaRatio[c]);
        limits_[c].circleOccupancy = static_cast<float>(ParseNumber(table.circleOccupancy[c]));
    }
    doubles_.fill(0);
}

float Classifier::radialAngle(const StarRecord& star) const {
    double dx = star.x - centreX_;
    if (dx == 0) dx = 1;
    const double dy = centreY_ - star.y;  // up is positive
    float angle = static_cast<float>(std::atan(dy / dx) / kPlotPi * 180);
    if (angle < 0) angle = angle + 180.0F;
    return angle;
}

Classification Classifier::classify(const StarRecord& star) {
    const AreaClass* areaClass = AreaClass::find(star.area);
    const auto slot = static_cast<std::size_t>(areaClass->index) + 1;
    const Limits& limit = limits_[static_cast<std::size_t>(areaClass->index)];

    const bool areaRatioTest = star.area < star.extent1 * star.extent2 * limit.areaRatio;
    const bool roundnessTest = star.roundness <= limit.circularity;
    const bool shapeFlag =
        andMode_ ? (areaRatioTest && roundnessTest) : (areaRatioTest || roundnessTest);

    const float angleOffset = std::fabs(star.angle - radialAngle(star));
    const bool turned = angleOffset > radialAngleCorrection_;

    if (areaClass->lower <= star.area && star.area < areaClass->upper && shapeFlag && turned) {
        ++doubles_[slot];
        return {StarKind::DoubleByShape, areaClass};
    }
    const double testRadius = starRadius(star, 3);
    if (kPlotPi * (testRadius * testRadius) < star.area * limit.circleOccupancy && turned) {
        ++doubles_[slot];
        return {StarKind::DoubleByOccupancy, areaClass};
    }
    single_[slot] = single_[slot].value_or(0) + 1;
    return {StarKind::Single, areaClass};
}
