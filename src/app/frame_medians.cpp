#include "app/frame_medians.h"

#include <algorithm>

void FrameMedians::onStar(const StarRecord& star, const Classification&) {
    roundness_.push_back(star.roundness);
}

void FrameMedians::fill(FrameMeasures& measures) {
    measures.roundness = median(roundness_);
}

std::optional<double> FrameMedians::median(std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    const std::size_t half = values.size() / 2;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(half);
    std::nth_element(values.begin(), middle, values.end());
    const double upper = *middle;
    if (values.size() % 2 == 1) return upper;
    const double lower = *std::max_element(values.begin(), middle);
    return (lower + upper) / 2;
}
