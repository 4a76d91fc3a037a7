#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "plot/star_source.h"
#include "sources/photo/detected_stars.h"

// Keeps every star a source gives, before any filtering, so that a frame can be drawn again
// from memory without reading or detecting its file again. A source of more than kMostStars
// stars keeps none (a long star list, which is read again quickly): memory stays bounded however
// many frames a night holds.
class StarKeeper {
public:
    // About 20 MB of records.
    static constexpr std::size_t kMostStars = 200000;

    StarKeeper() = default;
    StarKeeper(const StarKeeper&) = delete;
    StarKeeper& operator=(const StarKeeper&) = delete;

    // An opener whose sources pass every record through the keeper. Only one source at a time.
    StarSourceOpener recording(StarSourceOpener open);
    void add(const StarRecord& star);
    // The stars kept, in their order; nullptr when there were too many.
    DetectedStars::Stars take();

    // An opener that gives the kept stars, whatever file it is asked for.
    static StarSourceOpener replaying(DetectedStars::Stars stars);

private:
    std::vector<StarRecord> stars_;
    bool tooMany_ = false;
};
