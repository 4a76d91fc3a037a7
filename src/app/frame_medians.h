#pragma once

#include <optional>
#include <vector>

#include "app/frame_measures.h"
#include "plot/star_observer.h"

// The median of a frame's drawn stars' roundness, as FwhmMedian takes their FWHM for the
// summary: the median of an even number of values is the mean of the middle two.
class FrameMedians : public StarObserver {
public:
    void onStar(const StarRecord& star, const Classification& classification) override;
    // Sets the median of the stars seen so far.
    void fill(FrameMeasures& measures);

    static std::optional<double> median(std::vector<double>& values);

private:
    std::vector<double> roundness_;
};
