#pragma once

#include <memory>
#include <vector>

#include "plot/star_source.h"

// The stars detected on a photograph as a run's source, shared with the detection cache, and
// how the photograph was taken.
class DetectedStars : public StarSource {
public:
    using Stars = std::shared_ptr<const std::vector<StarRecord>>;

    explicit DetectedStars(Stars stars, FrameFacts facts = {})
        : stars_(std::move(stars)), facts_(std::move(facts)) {}

    Status next(StarRecord& record) override {
        if (next_ == stars_->size()) return Status::End;
        record = (*stars_)[next_++];
        return Status::Record;
    }
    const Fault& fault() const override { return fault_; }
    long line() const override { return 0; }
    std::int64_t recordsRead() const override { return static_cast<std::int64_t>(next_); }
    FrameFacts facts() const override { return facts_; }

private:
    Stars stars_;
    FrameFacts facts_;
    std::size_t next_ = 0;
    Fault fault_;
};
