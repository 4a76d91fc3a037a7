#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "plot/star_source.h"

// A source that shows every record it gives to a tap before handing it on: a run's stars kept or
// written on their way to the plot, without reading the input a second time.
class TappedSource : public StarSource {
public:
    using Tap = std::function<void(const StarRecord&)>;

    TappedSource(std::unique_ptr<StarSource> inner, Tap tap)
        : inner_(std::move(inner)), tap_(std::move(tap)) {}

    // Opens what `open` opens, tapped.
    static StarSourceOpener opener(StarSourceOpener open, Tap tap);

    Status next(StarRecord& record) override;
    const Fault& fault() const override { return inner_->fault(); }
    long line() const override { return inner_->line(); }
    std::int64_t recordsRead() const override { return inner_->recordsRead(); }
    FrameFacts facts() const override { return inner_->facts(); }

private:
    std::unique_ptr<StarSource> inner_;
    Tap tap_;
};
