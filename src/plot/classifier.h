#pragma once

#include "doublestar/area_class.h"
#include "doublestar/double_star_limits.h"
#include "plot/star_counts.h"
#include "plot/star_record.h"

enum class StarKind { Single, DoubleByShape, DoubleByOccupancy };

struct Classification {
    StarKind kind = StarKind::Single;
    const AreaClass* areaClass = nullptr;
    float radialAngle = 0;  // the direction from the sensor centre, 0 up to 180 degrees
    float angleOffset = 0;  // how far the star's orientation is turned from it, in degrees
};

// Decides for each star whether it is single or double and counts it in its area class.
class Classifier {
public:
    // centreX, centreY: the sensor centre the radial direction is measured from.
    Classifier(const DoubleStarLimits& limits, double centreX, double centreY);

    // The star's area must not be negative (such stars belong to no class).
    Classification classify(const StarRecord& star);

    const SingleCounts& singleCounts() const { return single_; }
    const DoubleCounts& doubleCounts() const { return doubles_; }

    // The direction from the sensor centre to the star, 0 up to 180 degrees.
    float radialAngle(const StarRecord& star) const;

private:
    DoubleStarLimits limits_;
    double centreX_ = 0;
    double centreY_ = 0;
    SingleCounts single_{};
    DoubleCounts doubles_{};
};
