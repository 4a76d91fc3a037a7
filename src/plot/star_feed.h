#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "plot/star_record.h"
#include "plot/star_source.h"

// The records of a star source in their order, read a few batches ahead on a thread of their
// own, so that reading the numbers and the rest of the run share the work between two cores.
// Memory stays the same however long the source is: a fixed ring of batches is filled and emptied
// in turn.
class StarFeed {
public:
    struct Read {
        StarRecord record;
        long line = 0;  // the source's line after the record, for messages
    };
    using Batch = std::vector<Read>;

    // How the reading ended, known once every record has been handed out.
    struct Ending {
        StarSource::Status status = StarSource::Status::End;
        Fault fault;  // the source's, for Fault
        std::int64_t recordsRead = 0;
    };

    static constexpr std::size_t kBatchSize = 1024;
    static constexpr std::size_t kBatches = 8;

    // Ahead: a thread of its own reads ahead of the run. Inline: next() reads each batch itself
    // on the calling thread; also taken when the system will not start a thread.
    enum class Reading { Ahead, Inline };

    // Starts reading at once. Until ending() returns, the source belongs to the reading thread.
    explicit StarFeed(StarSource& source, Reading reading = Reading::Ahead);
    // Stops the reading early when not every record was taken.
    ~StarFeed();
    StarFeed(const StarFeed&) = delete;
    StarFeed& operator=(const StarFeed&) = delete;

    // The next batch, or nullptr after the last one. A batch stays valid until the next call.
    const Batch* next();
    // After next() has given nullptr: how the reading ended. Rethrows what the reading threw.
    const Ending& ending();

private:
    void read();
    const Batch* nextInline();
    // Fills the batch; false once the source has ended (the ending is then set).
    bool fill(Batch& batch);

    StarSource& source_;
    std::array<Batch, kBatches> ring_;
    std::mutex mutex_;
    std::condition_variable filledOne_;  // a batch was filled, or the reading finished
    std::condition_variable freedOne_;   // a batch was given back, or the run gave up
    std::size_t filled_ = 0;             // batches filled so far
    std::size_t taken_ = 0;              // batches the run has finished with
    bool holding_ = false;               // the run holds batch taken_
    bool finished_ = false;
    bool inline_ = false;  // no reading thread: next() reads
    bool cancelled_ = false;
    Ending ending_;
    std::exception_ptr error_;
    std::thread thread_;  // started last, when everything it uses is ready
};
