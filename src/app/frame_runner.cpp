#include "app/frame_runner.h"

#include <new>
#include <utility>

#include "app/frame_medians.h"
#include "output/fwhm_median.h"
#include "plot/drawing_surface.h"
#include "plot/run_monitor.h"
#include "shape/shape_collector.h"
#include "shape/shape_map.h"
#include "shape/shape_reading.h"
#include "sources/star_keeper.h"
#include "sources/star_sources.h"
#include "text/messages.h"

namespace {

// When no thread could be had, the budget is asked again this much later.
constexpr int kRetryMs = 100;

// The plot of a frame's run: sized, never drawn on. Counts and stars do not depend on it.
class CountingSurface : public DrawingSurface {
public:
    bool resize(int width, int height) override {
        width_ = width;
        height_ = height;
        return true;
    }
    void clear() override {}
    void setFillGrey(std::uint8_t) override {}
    void drawCircle(float, float, float, std::uint8_t) override {}
    void setPixel(float, float, std::uint8_t) override {}
    void drawFigure(const StarFigure&) override {}
    int width() const override { return width_; }
    int height() const override { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
};

// Cancels a run once the runner has been stopped since it started.
class EpochMonitor : public RunMonitor {
public:
    EpochMonitor(const std::atomic<int>& epoch, int started) : epoch_(epoch), started_(started) {}
    bool proceed(std::string_view, std::int64_t, std::int64_t) override {
        return epoch_ == started_;
    }

private:
    const std::atomic<int>& epoch_;
    int started_;
};

// A photograph is run at its own size, as "解析データ" puts it into 横 and 縦.
void takePictureSize(PlotRequest& request) {
    if (const std::optional<PictureSize> size = StarSources::pictureSize(request.starFile)) {
        request.controls.width = std::to_string(size->width);
        request.controls.height = std::to_string(size->height);
    }
}

// The star-shape map of the frame, as quendra-plot's summary has it, and its reading for 診断.
void read(const ShapeMap& map, FrameRunner::Outcome& outcome) {
    outcome.row.map = MapFigures::of(map);
    std::string labels;
    std::string sentences;
    for (const ReadingLine& line : map.reading()) {
        labels += (labels.empty() ? "" : "・") + ShapeReading::label(line.code);
        sentences += (sentences.empty() ? "" : "\n") + line.text;
    }
    outcome.measures.reading = labels;
    outcome.measures.readingText = sentences;
}

}  // namespace

FrameRunner::FrameRunner(ThreadBudget& threads, int atOnce, QObject* parent)
    : QObject(parent), threads_(threads), atOnce_(std::max(atOnce, 1)) {
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &FrameRunner::startWorkers);
}

FrameRunner::~FrameRunner() {
    stopAll();
    workers_.clear();  // each joined
}

void FrameRunner::add(Job job) {
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    startWorkers();
}

void FrameRunner::startWorkers() {
    workers_.remove_if([](const std::unique_ptr<Worker>& worker) { return worker->done.load(); });
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (working_ >= atOnce_ || static_cast<std::size_t>(working_) >= jobs_.size()) return;
            ++working_;
        }
        auto worker = std::make_unique<Worker>();
        Worker& started = *worker;
        worker->thread = threads_.start([this, &started] { work(started); });
        if (worker->thread.started()) {
            workers_.push_back(std::move(worker));
            continue;
        }
        // The budget is busy (a run of the main window, its helpers): ask again soon.
        const std::lock_guard lock(mutex_);
        --working_;
        if (!retry_.isActive()) retry_.start();
        return;
    }
}

void FrameRunner::work(Worker& worker) {
    for (;;) {
        Job job;
        int epoch = 0;
        {
            const std::lock_guard lock(mutex_);
            if (jobs_.empty()) {
                --working_;
                worker.done = true;
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
            ++running_;
            epoch = epoch_;
        }
        emit started(job.number, job.generation);
        Outcome outcome = run(job, epoch);
        {
            const std::lock_guard lock(mutex_);
            finished_.push_back(std::move(outcome));
            --running_;
        }
        emit finished();
    }
}

FrameRunner::Outcome FrameRunner::run(const Job& job, int epoch) const {
    Outcome outcome{job.number, job.generation, job.request, {job.request.starFile, {}}, {}, {}};
    try {
        takePictureSize(outcome.request);
        StarKeeper keeper;
        FrameMedians medians;
        FwhmMedian fwhm;  // the summary's own column
        ShapeCollector shapes;
        StarObserver* const observers[] = {&medians, &fwhm, &shapes};
        EpochMonitor monitor(epoch_, epoch);
        CountingSurface surface;
        outcome.row.result =
            runPlot(outcome.request, keeper.recording(StarSources::opener()), surface,
                    {.observers = observers, .monitor = &monitor, .threads = nullptr});
        if (outcome.row.result.done()) {
            medians.fill(outcome.measures);
            outcome.row.fwhm = fwhm.median();
            outcome.measures.fwhm = outcome.row.fwhm;
            outcome.measures.camera = outcome.row.result.facts.camera;
            outcome.measures.exposure = outcome.row.result.facts.exposure;
            read(ShapeMap(shapes.take(), surface.width(), surface.height()), outcome);
            outcome.stars = keeper.take();
        }
    } catch (const std::bad_alloc&) {
        outcome.row.result = RunResult(Fault{Messages::outOfMemory(), {}});
        outcome.stars = nullptr;
    }
    return outcome;
}

std::vector<int> FrameRunner::stopAll() {
    const std::lock_guard lock(mutex_);
    ++epoch_;
    std::vector<int> dropped;
    for (const Job& job : jobs_) dropped.push_back(job.number);
    jobs_.clear();
    return dropped;
}

std::vector<FrameRunner::Outcome> FrameRunner::takeFinished() {
    const std::lock_guard lock(mutex_);
    return std::exchange(finished_, {});
}

int FrameRunner::pending() const {
    const std::lock_guard lock(mutex_);
    return static_cast<int>(jobs_.size()) + running_;
}
