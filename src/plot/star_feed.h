#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <vector>

#include "plot/prepared_star.h"
#include "plot/star_record.h"
#include "plot/star_source.h"
#include "system/thread_budget.h"
#include "text/result.h"

// The records of a star source in their order, read a few batches ahead on a thread of the
// budget, so that reading the numbers and the rest of the run share the work between two cores. A
// stage given to the feed works on each batch on that thread as soon as it is read, and what it
// makes of a record travels with the record, so that the run can move steps there too. Memory
// stays the same however long the source is: a fixed ring of batches is filled and emptied in
// turn.
class StarFeed {
public:
    struct Read {
        StarRecord record;
        long line = 0;          // the source's line after the record, for messages
        PreparedStar prepared;  // set by the stage, where there is one
    };
    using Batch = std::vector<Read>;

    // How the reading ended, known once every record has been handed out.
    struct Ending {
        Result<> reading;  // done at the source's end, else the source's fault
        std::int64_t recordsRead = 0;
        bool stopped = false;  // by the stage, before the source's ending
    };

    static constexpr std::size_t kBatchSize = 1024;
    static constexpr std::size_t kBatches = 8;

    // Work on each batch right after it is read, where it is read: it may set each record's
    // prepared star. Returns how many records of the batch to hand out: fewer stops the reading
    // after them.
    class Stage {
    public:
        virtual ~Stage() = default;
        virtual std::size_t prepare(Batch& batch) = 0;
    };

    // Starts reading at once, on a thread of the budget ahead of the run; without a budget, or
    // with none of its threads free, next() reads each batch itself on the calling thread. Until
    // ending() returns, the source and the stage belong to the reading thread.
    StarFeed(StarSource& source, ThreadBudget* threads, Stage* stage = nullptr);
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
    // Fills the batch in the slot and hands it to the stage; false once the source has ended or
    // the stage stopped the reading (the ending is then set).
    bool fill(std::size_t slot);

    StarSource& source_;
    Stage* stage_;
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
    ThreadBudget::Thread thread_;  // started last, when everything it uses is ready
};
