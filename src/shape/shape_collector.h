#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plot/star_observer.h"
#include "shape/shape_star.h"

// Keeps what the star-shape map needs of every star a run draws, in drawing order.
class ShapeCollector : public StarObserver {
public:
    void onStar(const StarRecord& star, const Classification& classification) override;

    // Past `most` stars the collector lets go of what it holds and keeps nothing more of the run,
    // so that memory stays bounded where nobody asked for the map.
    void keepAtMost(std::size_t most) { most_ = most; }

    // The stars kept so far, handed over for the map (null when there were more than the most);
    // the collector starts again empty.
    ShapeStars take();

private:
    std::vector<ShapeStar> stars_;
    std::size_t most_ = SIZE_MAX;
    bool tooMany_ = false;
};
