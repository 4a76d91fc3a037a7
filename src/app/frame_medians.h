#pragma once

#include <optional>
#include <vector>

#include "app/frame_measures.h"
#include "plot/star_observer.h"

// The medians of a frame's drawn stars: their roundness, and their FWHM where their source
// measures one. The median of an even number of values is the mean of the middle two.
class FrameMedians : public StarObserver {
public:
    void onStar(const StarRecord& star, const Classification& classification) override;
    // Sets the medians of the stars seen so far.
    void fill(FrameMeasures& measures);

    static std::optional<double> median(std::vector<double>& values);

private:
    std::vector<double> roundness_;
};
