#pragma once

#include "plot/classifier.h"
#include "plot/star_record.h"

// Told of every star that is drawn, in drawing order: the per-star table, the region file, ...
class StarObserver {
public:
    virtual ~StarObserver() = default;
    virtual void onStar(const StarRecord& star, const Classification& classification) = 0;
};
