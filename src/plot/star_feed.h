#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "plot/drawing_surface.h"
#include "plot/classifier.h"
#include "plot/drawing_record.h"
#include "plot/star_list.h"
#include "plot/star_record.h"
#include "plot/star_renderer.h"

// The stars of an open star list that are to be drawn, in the order of the list. A thread of
// their own reads, checks, filters and classifies them a few batches ahead of the drawing, so
// that reading the numbers and drawing share the work of a run between two cores. When the
// drawing falls behind, that thread also works out the circles of a batch, which the drawing
// then only has to paint. Memory stays the same however long the list is: a fixed ring of
// batches is filled and emptied in turn.
class StarFeed {
public:
    struct Star {
        StarRecord record;
        Classification classification;
        std::size_t drawnTo = 0;  // the end of the star's steps in the batch's drawing
    };

    class Batch {
    public:
        const std::vector<Star>& stars() const { return stars_; }
        // The reading thread worked out this batch's circles while the drawing was behind.
        bool drawnAhead() const { return drawn_; }
        // Draws star k on the surface: its recorded steps, or else by the renderer.
        void draw(std::size_t k, StarRenderer& renderer, DrawingSurface& surface) const;

    private:
        friend class StarFeed;
        std::vector<Star> stars_;
        DrawingRecord drawing_;
        bool drawn_ = false;
    };

    // Why the reading stopped, known once every star has been handed out.
    struct Ending {
        enum class Kind { End, Fault, Mismatch };
        Kind kind = Kind::End;
        std::string fault;             // the list's message, for Fault
        std::int64_t record = 0;       // the record number expected, for Mismatch
        long line = 0;                 // the line of the list where the reading stopped
        std::int64_t recordsRead = 0;  // records read, the stopping one included
    };

    static constexpr std::size_t kBatchSize = 1024;
    static constexpr std::size_t kBatches = 8;

    // Ahead: a thread of its own reads ahead of the drawing. Inline: next() reads each batch
    // itself on the calling thread; also taken when the system will not start a thread.
    enum class Reading { Ahead, Inline };

    // Starts reading at once. Until ending() returns, the list and the classifier belong to the
    // reading thread. Stars whose area lies outside [areaMin, areaMax), or is negative, are
    // checked and counted as records but not handed out.
    StarFeed(StarList& list, Classifier& classifier, const StarRenderer::Settings& drawing,
             double areaMin, double areaMax, Reading reading = Reading::Ahead);
    // Stops the reading early when not every star was taken.
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
    // Fills the batch; false once the list has ended (the ending is then set).
    bool fill(std::vector<Star>& batch);
    bool stop(Ending::Kind kind);
    void drawAhead(Batch& batch);

    StarList& list_;
    Classifier& classifier_;
    const double areaMin_;
    const double areaMax_;
    std::int64_t expected_ = 1;  // the record number the next record must carry

    DrawingRecord record_;  // what renderer_ draws on, then swapped into a batch
    StarRenderer renderer_;
    std::array<Batch, kBatches> ring_;
    std::mutex mutex_;
    std::condition_variable filledOne_;  // a batch was filled, or the reading finished
    std::condition_variable freedOne_;   // a batch was given back, or the drawing gave up
    std::size_t filled_ = 0;             // batches filled so far
    std::size_t taken_ = 0;              // batches the drawing has finished with
    bool holding_ = false;               // the drawing holds batch taken_
    bool finished_ = false;
    bool inline_ = false;  // no reading thread: next() reads
    bool cancelled_ = false;
    Ending ending_;
    std::exception_ptr error_;
    std::thread thread_;  // started last, when everything it uses is ready
};
