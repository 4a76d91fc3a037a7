#include "plot/star_feed.h"

#include <system_error>

namespace {

// No star needs more: a double star is two discs of three edge circles and a core each.
constexpr std::size_t kStepsPerStar = 8;

}  // namespace

void StarFeed::Batch::draw(std::size_t k, StarRenderer& renderer, DrawingSurface& surface) const {
    const Star& star = stars_[k];
    if (!drawn_) {
        renderer.draw(star.record, star.classification);
        return;
    }
    drawing_.replay(k == 0 ? 0 : stars_[k - 1].drawnTo, star.drawnTo, surface);
}

StarFeed::StarFeed(StarList& list, Classifier& classifier, const StarRenderer::Settings& drawing,
                   double areaMin, double areaMax, Reading reading)
    : list_(list),
      classifier_(classifier),
      areaMin_(areaMin),
      areaMax_(areaMax),
      renderer_(record_, drawing) {
    record_.reserve(kBatchSize * kStepsPerStar);
    for (Batch& batch : ring_) {
        batch.stars_.reserve(kBatchSize);
        batch.drawing_.reserve(kBatchSize * kStepsPerStar);
    }
    inline_ = reading == Reading::Inline;
    if (inline_) return;
    try {
        thread_ = std::thread([this] { read(); });
    } catch (const std::system_error&) {
        inline_ = true;  // slower, but the run still completes
    }
}

StarFeed::~StarFeed() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    freedOne_.notify_one();
    if (thread_.joinable()) thread_.join();
}

const StarFeed::Batch* StarFeed::nextInline() {
    if (holding_) {
        ++taken_;
        holding_ = false;
    }
    if (finished_) return nullptr;
    Batch& batch = ring_[filled_ % kBatches];
    finished_ = !fill(batch.stars_);
    batch.drawn_ = false;
    if (batch.stars_.empty()) return nullptr;  // only a last batch can be empty
    ++filled_;
    holding_ = true;
    return &batch;
}

const StarFeed::Batch* StarFeed::next() {
    if (inline_) return nextInline();
    std::unique_lock lock(mutex_);
    if (holding_) {
        ++taken_;
        holding_ = false;
        freedOne_.notify_one();
    }
    filledOne_.wait(lock, [this] { return filled_ > taken_ || finished_; });
    if (filled_ == taken_) return nullptr;
    holding_ = true;
    return &ring_[taken_ % kBatches];
}

const StarFeed::Ending& StarFeed::ending() {
    if (thread_.joinable()) thread_.join();
    if (error_) std::rethrow_exception(error_);
    return ending_;
}

void StarFeed::read() {
    try {
        for (bool more = true; more;) {
            std::size_t slot = 0;
            bool behind = false;
            {
                std::unique_lock lock(mutex_);
                freedOne_.wait(lock, [this] { return filled_ - taken_ < kBatches || cancelled_; });
                if (cancelled_) return;
                slot = filled_ % kBatches;
                // Half the ring waiting: the drawing is the slower side, and this thread helps.
                behind = filled_ - taken_ >= kBatches / 2;
            }
            Batch& batch = ring_[slot];
            more = fill(batch.stars_);
            batch.drawn_ = behind;
            if (behind) drawAhead(batch);
            {
                const std::lock_guard lock(mutex_);
                if (!batch.stars_.empty()) ++filled_;  // only a last batch can be empty
                finished_ = !more;
            }
            filledOne_.notify_one();
        }
    } catch (...) {
        {
            const std::lock_guard lock(mutex_);
            error_ = std::current_exception();
            finished_ = true;
        }
        filledOne_.notify_one();
    }
}

bool StarFeed::fill(std::vector<Star>& batch) {
    batch.clear();
    while (batch.size() < kBatchSize) {
        Star& star = batch.emplace_back();
        const StarList::Status status = list_.next(star.record);
        if (status != StarList::Status::Record) {
            batch.pop_back();
            return stop(status == StarList::Status::End ? Ending::Kind::End : Ending::Kind::Fault);
        }
        if (star.record.index != static_cast<double>(expected_)) {
            batch.pop_back();
            return stop(Ending::Kind::Mismatch);
        }
        ++expected_;
        const double area = star.record.area;
        // A negative area (only possible with a negative lower bound) belongs to no class.
        if (!(areaMin_ <= area && area < areaMax_) || area < 0) {
            batch.pop_back();
            continue;
        }
        star.classification = classifier_.classify(star.record);
    }
    return true;
}

void StarFeed::drawAhead(Batch& batch) {
    record_.forget();
    for (Star& star : batch.stars_) {
        renderer_.draw(star.record, star.classification);
        star.drawnTo = record_.steps().size();
    }
    record_.swap(batch.drawing_);
}

bool StarFeed::stop(Ending::Kind kind) {
    ending_.kind = kind;
    if (kind == Ending::Kind::Fault) ending_.fault = list_.fault();
    ending_.record = expected_;
    ending_.line = list_.line();
    ending_.recordsRead = list_.recordsRead();
    return false;
}
