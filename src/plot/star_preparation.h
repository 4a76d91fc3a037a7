#pragma once

#include <cstddef>
#include <cstdint>

#include "doublestar/double_star_limits.h"
#include "plot/classifier.h"
#include "plot/plot_settings.h"
#include "plot/star_feed.h"
#include "plot/star_renderer.h"

// The steps of a run that need no plot, done on each batch as soon as it is read: each record's
// number checked against its place, the area filter, the classification and the star's figure,
// which go with the record. On the reading thread this leaves the drawing alone to the run's own
// thread.
class StarPreparation : public StarFeed::Stage {
public:
    StarPreparation(const PlotSettings& settings, const DoubleStarLimits& limits);

    // Stops the feed at the first record whose number is not its place.
    std::size_t prepare(StarFeed::Batch& batch) override;

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
    std::int64_t expected_ = 1;  // the number the next record must carry
    bool mismatched_ = false;
    long mismatchLine_ = 0;
};
