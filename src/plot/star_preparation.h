#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "doublestar/double_star_limits.h"
#include "plot/classifier.h"
#include "plot/plot_settings.h"
#include "plot/star_feed.h"
#include "plot/star_figure.h"
#include "plot/star_renderer.h"

// The steps of a run that need no plot, done on each batch as soon as it is read: each record's
// number checked against its place, the area filter, the classification and the star's figure.
// On the reading thread this leaves the drawing alone to the run's own thread.
class StarPreparation : public StarFeed::Stage {
public:
    struct Star {
        bool shown = false;  // in the area range: classified, counted and laid out
        Classification classification;
        StarFigure figure;
    };

    StarPreparation(const PlotSettings& settings, const DoubleStarLimits& limits);

    // Stops the feed at the first record whose number is not its place.
    std::size_t prepare(std::size_t slot, const StarFeed::Batch& batch) override;

    // Star k of the batch in the slot, until the slot is given out again.
    const Star& star(std::size_t slot, std::size_t k) const { return stars_[slot][k]; }

    // Once the feed has ended: whether a record's number was wrong, the number it should have
    // carried and the line after it.
    bool mismatched() const { return mismatched_; }
    std::int64_t expected() const { return expected_; }
    long mismatchLine() const { return mismatchLine_; }
    const Classifier& classifier() const { return classifier_; }

private:
    const PlotSettings& settings_;
    Classifier classifier_;
    StarRenderer layout_;
    std::array<std::vector<Star>, StarFeed::kBatches> stars_;
    std::int64_t expected_ = 1;  // the number the next record must carry
    bool mismatched_ = false;
    long mismatchLine_ = 0;
};
