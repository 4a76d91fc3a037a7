#include "plot/plotting_run.h"

#include <new>

#include "plot/classifier.h"
#include "plot/star_feed.h"
#include "plot/star_renderer.h"

namespace {

RunResult stopped(std::string message, std::string detail = {}) {
    RunResult result;
    result.message = std::move(message);
    result.detail = std::move(detail);
    return result;
}

RunResult stopped(const Fault& fault) {
    return stopped(fault.message, fault.detail);
}

RunResult cancelled(std::int64_t recordsRead) {
    RunResult result;
    result.cancelled = true;
    result.recordsRead = recordsRead;
    return result;
}

// A monitored run hears of its progress this often, in drawn stars: often enough to stop at
// once even when every star covers the whole plot, rarely enough to cost nothing.
constexpr std::int64_t kStarsBetweenReports = 16;

// The per-star steps of a run, in their order: the record's number checked, the area filter,
// the classification, the drawing, the observers.
class RunSteps {
public:
    RunSteps(const PlotSettings& settings, const DoubleStarLimits& limits, DrawingSurface& surface,
             const RunHooks& hooks)
        : settings_(settings),
          classifier_(limits, settings.CentreX, settings.CentreY),
          renderer_(surface, {settings.SizeScale, settings.GreyLevel, settings.SubPixelFactor}),
          hooks_(hooks) {}

    // Takes every record of the feed; the result is set when the run stopped or was cancelled.
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
        if (ending.status == StarSource::Status::Fault) {
            RunResult result = stopped(ending.fault);
            result.recordsRead = ending.recordsRead;
            return result;
        }
        RunResult result;
        result.completed = true;
        result.singleCounts = classifier_.singleCounts();
        result.doubleCounts = classifier_.doubleCounts();
        result.countTexts = CountTexts::of(result.singleCounts, result.doubleCounts);
        result.recordsRead = ending.recordsRead;
        result.starsDrawn = drawn_;
        return result;
    }

private:
    bool take(const StarFeed::Read& read, RunResult& result) {
        const StarRecord& star = read.record;
        if (star.index != static_cast<double>(expected_)) {
            result = stopped(PlottingRun::kRecordMismatch,
                             Messages::recordMismatchDetail(expected_, read.line));
            result.recordsRead = expected_;
            return false;
        }
        ++expected_;
        const double area = star.area;
        // A negative area (only possible with a negative lower bound) belongs to no class.
        if (!(settings_.AreaMin <= area && area < settings_.AreaMax) || area < 0) return true;
        const Classification classification = classifier_.classify(star);
        renderer_.draw(star, classification);
        for (StarObserver* observer : hooks_.observers) observer->onStar(star, classification);
        ++drawn_;
        return drawn_ % kStarsBetweenReports != 0 || report(result);
    }

    bool report(RunResult& result) {
        if (hooks_.monitor == nullptr ||
            hooks_.monitor->proceed(PlottingRun::kDrawingStage, expected_ - 1, 0)) {
            return true;
        }
        result = cancelled(expected_ - 1);
        return false;
    }

    const PlotSettings& settings_;
    Classifier classifier_;
    StarRenderer renderer_;
    const RunHooks& hooks_;
    std::int64_t expected_ = 1;  // the number the next record must carry
    std::int64_t drawn_ = 0;
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
    // The reading starts at once and runs on while the plot is made ready.
    StarFeed feed(source, hooks.readAhead ? StarFeed::Reading::Ahead : StarFeed::Reading::Inline);
    if (!surface.resize(settings_.SensorWidth, settings_.SensorHeight)) {
        return stopped(Messages::plotMemory(settings_.SensorWidth, settings_.SensorHeight));
    }
    if (settings_.AutoClear) surface.clear();
    surface.setFillGrey(static_cast<std::uint8_t>(settings_.GreyLevel));

    RunSteps steps(settings_, limits_, surface, hooks);
    RunResult result;
    if (!steps.takeAll(feed, result)) return result;
    return steps.completed(feed.ending());
}

RunResult runPlot(const PlotRequest& request, const StarSourceOpener& open, DrawingSurface& surface,
                  const RunHooks& hooks) {
    try {
        Fault fault;
        const std::optional<PlotSettings> settings = PlotSettings::from(request.controls, fault);
        if (!settings) return stopped(fault);
        if (request.starFile.empty()) return stopped(Messages::noStarList());
        const std::unique_ptr<StarSource> source =
            open(request.starFile, SourceContext{*settings, hooks.monitor}, fault);
        if (!source) return fault.message.empty() ? cancelled(0) : stopped(fault);
        const PlottingRun run(*settings, DoubleStarLimits::from(request.thresholds));
        return run.run(*source, surface, hooks);
    } catch (const std::bad_alloc&) {
        return stopped(Messages::outOfMemory());
    }
}
