#include "plot/classifier.h"

#include <cmath>

#include "plot/star_geometry.h"

Classifier::Classifier(const DoubleStarLimits& limits, double centreX, double centreY)
    : limits_(limits), centreX_(centreX), centreY_(centreY) {
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
    const DoubleStarLimits::ClassLimits& limit =
        limits_.classes[static_cast<std::size_t>(areaClass->index)];

    const bool areaRatioTest = star.area < star.extent1 * star.extent2 * limit.areaRatio;
    const bool roundnessTest = star.roundness <= limit.circularity;
    const bool shapeFlag =
        limits_.andMode ? (areaRatioTest && roundnessTest) : (areaRatioTest || roundnessTest);

    const float radial = radialAngle(star);
    const float angleOffset = std::fabs(star.angle - radial);
    const bool turned = angleOffset > limits_.radialAngleCorrection;

    if (areaClass->lower <= star.area && star.area < areaClass->upper && shapeFlag && turned) {
        ++doubles_[slot];
        return {StarKind::DoubleByShape, areaClass, radial, angleOffset};
    }
    const double testRadius = starRadius(star, 3);
    if (kPlotPi * (testRadius * testRadius) < star.area * limit.circleOccupancy && turned) {
        ++doubles_[slot];
        return {StarKind::DoubleByOccupancy, areaClass, radial, angleOffset};
    }
    single_[slot] = single_[slot].value_or(0) + 1;
    return {StarKind::Single, areaClass, radial, angleOffset};
}
