#pragma once

#include <array>
#include <string_view>

#include "doublestar/area_class.h"
#include "doublestar/threshold_table.h"
#include "plot/star_counts.h"
#include "plot/star_record.h"

enum class StarKind { Single, DoubleByShape, DoubleByOccupancy };

struct Classification {
    StarKind kind = StarKind::Single;
    const AreaClass* areaClass = nullptr;
};

// Decides for each star whether it is single or double and counts it in its area class.
// The limits are converted once, when the classifier is made: a run never yields, so the texts
// cannot change under it.
class Classifier {
public:
    struct Limits {
        double circularity = 0;
        double areaRatio = 0;
        float circleOccupancy = 0;
    };

    // sensorWidth and sensorHeight are the texts of the width and height boxes; half of each
    // is the sensor centre.
    Classifier(const ThresholdTable& table, std::string_view sensorWidth,
               std::string_view sensorHeight);

    // The star's area must not be negative (such stars belong to no class).
    Classification classify(const StarRecord& star);

    const SingleCounts& singleCounts() const { return single_; }
    const DoubleCounts& doubleCounts() const { return doubles_; }

    // The direction from the sensor centre to the star, 0 up to 180 degrees.
    float radialAngle(const StarRecord& star) const;

private:
    std::array<Limits, AreaClass::kCount> limits_{};
    double radialAngleCorrection_ = 0;
    bool andMode_ = true;
    double centreX_ = 0;
    double centreY_ = 0;
    SingleCounts single_{};
    DoubleCounts doubles_{};
};
