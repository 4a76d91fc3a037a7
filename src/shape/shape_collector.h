#pragma once

#include <vector>

#include "plot/star_observer.h"
#include "shape/shape_star.h"

// Keeps what the star-shape map needs of every star a run draws, in drawing order.
class ShapeCollector : public StarObserver {
public:
    void onStar(const StarRecord& star, const Classification& classification) override;

    // The stars kept so far, handed over for the map; the collector starts again empty.
    ShapeStars take();

private:
    std::vector<ShapeStar> stars_;
};
