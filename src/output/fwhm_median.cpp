#include "output/fwhm_median.h"

#include <algorithm>

void FwhmMedian::onStar(const StarRecord& star, const Classification&) {
    if (star.fwhm > 0) fwhms_.push_back(star.fwhm);
}

std::optional<double> FwhmMedian::median() {
    if (fwhms_.empty()) return {};
    const std::size_t half = fwhms_.size() / 2;
    std::nth_element(fwhms_.begin(), fwhms_.begin() + static_cast<std::ptrdiff_t>(half),
                     fwhms_.end());
    const double upper = fwhms_[half];
    if (fwhms_.size() % 2 == 1) return upper;
    const double lower =
        *std::max_element(fwhms_.begin(), fwhms_.begin() + static_cast<std::ptrdiff_t>(half));
    return (lower + upper) / 2;
}
