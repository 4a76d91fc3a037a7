#pragma once

#include <optional>
#include <vector>

#include "plot/star_observer.h"

// The median FWHM of the drawn stars whose source measured one, for a batch's summary.
class FwhmMedian : public StarObserver {
public:
    void onStar(const StarRecord& star, const Classification& classification) override;
    // Nothing when no drawn star had a FWHM.
    std::optional<double> median();

private:
    std::vector<double> fwhms_;
};
