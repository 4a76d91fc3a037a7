#include "sources/star_keeper.h"

#include <utility>

#include "plot/tapped_source.h"

StarSourceOpener StarKeeper::recording(StarSourceOpener open) {
    return TappedSource::opener(std::move(open), [this](const StarRecord& star) { add(star); });
}

void StarKeeper::add(const StarRecord& star) {
    if (tooMany_) return;
    if (stars_.size() == kMostStars) {
        tooMany_ = true;
        std::vector<StarRecord>().swap(stars_);
        return;
    }
    stars_.push_back(star);
}

DetectedStars::Stars StarKeeper::take() {
    if (tooMany_) return nullptr;
    stars_.shrink_to_fit();
    return std::make_shared<const std::vector<StarRecord>>(std::move(stars_));
}

StarSourceOpener StarKeeper::replaying(DetectedStars::Stars stars) {
    return [stars = std::move(stars)](const std::string&,
                                      const SourceContext&) -> Result<std::unique_ptr<StarSource>> {
        return std::make_unique<DetectedStars>(stars);
    };
}
