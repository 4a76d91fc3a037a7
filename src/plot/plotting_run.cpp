#include "plot/plotting_run.h"

#include <new>

#include "plot/classifier.h"
#include "plot/star_feed.h"
#include "plot/star_preparation.h"

namespace {

RunResult stopped(std::string message, std::string detail = {}) {
    return RunResult(Fault{std::move(message), std::move(detail)});
}

RunResult cancelled(std::int64_t recordsRead) {
    RunResult result{Cancelled{}};
    result.recordsRead = recordsRead;
    return result;
}

// A monitored run hears of its progress this often, in drawn stars: often enough to stop at
// once even when every star covers the whole plot, rarely enough to cost nothing.
constexpr std::int64_t kStarsBetweenReports = 16;

// The run's own steps for the stars the preparation has checked, classified and laid out: the
// drawing, the observers and the progress, in the stars' order.
class RunSteps {
public:
    RunSteps(const StarPreparation& preparation, const PlotSettings& settings,
             DrawingSurface& surface, const RunHooks& hooks)
        : preparation_(preparation),
          width_(settings.SensorWidth),
          height_(settings.SensorHeight),
          surface_(surface),
          hooks_(hooks) {}

    // Takes every record of the feed; the result is set when the run was cancelled.
    bool takeAll(StarFeed& feed, RunResult& result) {
        while (const StarFeed::Batch* batch = feed.next()) {
            for (const StarFeed::Read& read : *batch) {
                if (!take(read, result)) return false;
            }
            if (!report(result)) return false;
        }
        return true;
    }

    RunResult completed(const StarFeed::Ending& ending) const {
        if (preparation_.mismatched()) {
            const std::int64_t expected = preparation_.expected();
            RunResult result =
                stopped(PlottingRun::kRecordMismatch,
                        Messages::recordMismatchDetail(expected, preparation_.mismatchLine()));
            result.recordsRead = expected;
            return result;
        }
        if (!ending.reading.done()) {
            RunResult result(ending.reading);
            result.recordsRead = ending.recordsRead;
            return result;
        }
        const Classifier& classifier = preparation_.classifier();
        RunResult result;
        result.singleCounts = classifier.singleCounts();
        result.doubleCounts = classifier.doubleCounts();
        result.countTexts = CountTexts::of(result.singleCounts, result.doubleCounts);
        result.recordsRead = ending.recordsRead;
        result.starsDrawn = drawn_;
        result.starsOutside = outside_;
        return result;
    }

private:
    bool take(const StarFeed::Read& read, RunResult& result) {
        ++taken_;
        const PreparedStar& star = read.prepared;
        if (!star.shown) return true;
        surface_.drawFigure(star.figure);
        for (StarObserver* observer : hooks_.observers) {
            observer->onStar(read.record, star.classification);
        }
        ++drawn_;
        if (offPlot(read.record)) ++outside_;
        return drawn_ % kStarsBetweenReports != 0 || report(result);
    }

    bool offPlot(const StarRecord& star) const {
        return !(star.x >= 0 && star.x < width_ + 1 && star.y >= 0 && star.y < height_ + 1);
    }

    bool report(RunResult& result) {
        if (hooks_.monitor == nullptr ||
            hooks_.monitor->proceed(PlottingRun::kDrawingStage, taken_, 0)) {
            return true;
        }
        result = cancelled(taken_);
        return false;
    }

    const StarPreparation& preparation_;
    double width_;
    double height_;
    DrawingSurface& surface_;
    const RunHooks& hooks_;
    std::int64_t taken_ = 0;  // records taken from the feed
    std::int64_t drawn_ = 0;
    std::int64_t outside_ = 0;
};

}  // namespace

PlottingRun::PlottingRun(const PlotSettings& settings, const DoubleStarLimits& limits)
    : settings_(settings), limits_(limits) {}

RunResult PlottingRun::run(StarSource& source, DrawingSurface& surface,
                           const RunHooks& hooks) const {
    try {
        return runGuarded(source, surface, hooks);
    } catch (const std::bad_alloc&) {
        return stopped(Messages::outOfMemory());
    }
}

RunResult PlottingRun::runGuarded(StarSource& source, DrawingSurface& surface,
                                  const RunHooks& hooks) const {
    // The reading, checking, classifying and laying out start at once on a thread of their own
    // and run on while the plot is made ready; this thread draws.
    StarPreparation preparation(settings_, limits_);
    StarFeed feed(source, hooks.threads, &preparation);
    if (!surface.resize(settings_.SensorWidth, settings_.SensorHeight)) {
        return stopped(Messages::plotMemory(settings_.SensorWidth, settings_.SensorHeight));
    }
    if (settings_.AutoClear) surface.clear();
    surface.setFillGrey(static_cast<std::uint8_t>(settings_.GreyLevel));

    RunSteps steps(preparation, settings_, surface, hooks);
    RunResult result;
    if (!steps.takeAll(feed, result)) return result;
    return steps.completed(feed.ending());
}

RunResult runPlot(const PlotRequest& request, const StarSourceOpener& open, DrawingSurface& surface,
                  const RunHooks& hooks) {
    try {
        const Result<PlotSettings> settings = PlotSettings::from(request.controls);
        if (!settings.done()) return RunResult(settings);
        if (request.starFile.empty()) return stopped(Messages::noStarList());
        Result<std::unique_ptr<StarSource>> source =
            open(request.starFile, SourceContext{settings.value(), hooks.monitor, hooks.threads});
        if (!source.done()) return RunResult(source);
        const PlottingRun run(settings.value(), DoubleStarLimits::from(request.thresholds));
        RunResult result = run.run(*source.value(), surface, hooks);
        result.facts = source.value()->facts();
        return result;
    } catch (const std::bad_alloc&) {
        return stopped(Messages::outOfMemory());
    }
}
