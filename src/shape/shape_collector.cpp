#include "shape/shape_collector.h"

void ShapeCollector::onStar(const StarRecord& star, const Classification& classification) {
    if (tooMany_) return;
    if (stars_.size() == most_) {
        tooMany_ = true;
        stars_ = {};
        return;
    }
    stars_.push_back({.x = star.x,
                      .y = star.y,
                      .roundness = star.roundness,
                      .size = star.fwhm > 0 ? star.fwhm : star.size,
                      .angle = star.angle,
                      .isDouble = classification.kind != StarKind::Single});
}

ShapeStars ShapeCollector::take() {
    if (tooMany_) {
        tooMany_ = false;
        return nullptr;
    }
    auto stars = std::make_shared<const std::vector<ShapeStar>>(std::move(stars_));
    stars_ = {};
    return stars;
}
