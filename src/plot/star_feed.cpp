#include "plot/star_feed.h"

StarFeed::StarFeed(StarSource& source, ThreadBudget* threads, Stage* stage)
    : source_(source), stage_(stage) {
    for (Batch& batch : ring_) batch.reserve(kBatchSize);
    if (threads != nullptr) thread_ = threads->start([this] { read(); });
    inline_ = !thread_.started();  // slower, but the run still completes
}

StarFeed::~StarFeed() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    freedOne_.notify_one();
    thread_.join();
}

const StarFeed::Batch* StarFeed::nextInline() {
    if (holding_) {
        ++taken_;
        holding_ = false;
    }
    if (finished_) return nullptr;
    const std::size_t slot = filled_ % kBatches;
    finished_ = !fill(slot);
    const Batch& batch = ring_[slot];
    if (batch.empty()) return nullptr;  // only a last batch can be empty
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
    thread_.join();
    if (error_) std::rethrow_exception(error_);
    return ending_;
}

void StarFeed::read() {
    try {
        for (bool more = true; more;) {
            std::size_t slot = 0;
            {
                std::unique_lock lock(mutex_);
                freedOne_.wait(lock, [this] { return filled_ - taken_ < kBatches || cancelled_; });
                if (cancelled_) return;
                slot = filled_ % kBatches;
            }
            more = fill(slot);
            {
                const std::lock_guard lock(mutex_);
                if (!ring_[slot].empty()) ++filled_;  // only a last batch can be empty
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

bool StarFeed::fill(std::size_t slot) {
    Batch& batch = ring_[slot];
    batch.resize(kBatchSize);
    bool more = true;
    for (std::size_t k = 0; k < kBatchSize; ++k) {
        const StarSource::Status status = source_.next(batch[k].record);
        if (status != StarSource::Status::Record) {
            batch.resize(k);
            if (status == StarSource::Status::Fault) ending_.reading = source_.fault();
            ending_.recordsRead = source_.recordsRead();
            more = false;
            break;
        }
        batch[k].line = source_.line();
    }
    if (stage_ == nullptr || batch.empty()) return more;
    const std::size_t kept = stage_->prepare(batch);
    if (kept >= batch.size()) return more;
    batch.resize(kept);
    ending_.stopped = true;
    ending_.recordsRead = source_.recordsRead();
    return false;
}
