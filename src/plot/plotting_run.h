#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "doublestar/double_star_limits.h"
#include "doublestar/threshold_table.h"
#include "plot/drawing_surface.h"
#include "plot/plot_settings.h"
#include "plot/run_monitor.h"
#include "plot/star_counts.h"
#include "plot/star_observer.h"
#include "plot/star_source.h"
#include "system/thread_budget.h"
#include "text/messages.h"
#include "text/result.h"

// How a run ended, as every step reports it: done; cancelled by the monitor, which stops it as a
// stopped run with no message; or stopped by a fault, whose message is for the message box and
// whose detail says where it stopped, for a log or a terminal. Then what the run counted: a run
// that stopped keeps what it has drawn and reports no counts.
struct RunResult : Result<> {
    RunResult() = default;
    explicit RunResult(Result<> ending) : Result<>(std::move(ending)) {}

    SingleCounts singleCounts{};
    DoubleCounts doubleCounts{};
    CountTexts countTexts;
    std::int64_t recordsRead = 0;
    std::int64_t starsDrawn = 0;
    // Drawn stars whose centre lies off the plot: a sign that the plot is smaller than the
    // picture the stars were measured on. Centres count from 1 in catalogs and photographs, so
    // the far edges have a pixel of margin.
    std::int64_t starsOutside = 0;
    FrameFacts facts;  // the source's, once it opened
};

// What a run is told beside its settings: who watches the stars drawn and the run's progress,
// and where its helper threads come from (the reading ahead, a photograph's second core).
struct RunHooks {
    std::span<StarObserver* const> observers{};
    RunMonitor* monitor = nullptr;
    ThreadBudget* threads = nullptr;  // none: everything on the run's own thread
};

// One press of "描画" on settings already converted: sizes the plot to the sensor, reads the
// source record by record, checks each record's number, classifies and draws every star in the
// area range, and counts them per area class. A run that stops keeps what it has drawn and
// reports no counts.
class PlottingRun {
public:
    static constexpr const char* kRecordMismatch = Messages::kRecordMismatch;
    static constexpr const char* kDrawingStage = "星を描いています";

    PlottingRun(const PlotSettings& settings, const DoubleStarLimits& limits);

    RunResult run(StarSource& source, DrawingSurface& surface, const RunHooks& hooks = {}) const;

private:
    RunResult runGuarded(StarSource& source, DrawingSurface& surface, const RunHooks& hooks) const;

    PlotSettings settings_;
    DoubleStarLimits limits_;
};

// Everything one press of "描画" starts from: the controls' texts, the double-star table and the
// chosen file.
struct PlotRequest {
    ControlTexts controls;
    ThresholdTable thresholds;
    std::string starFile;
};

// The whole press: the settings converted and checked, the source opened, the run. A setting or
// a file that is unusable stops it before the plot is touched. Running out of memory anywhere
// stops it with a message too.
RunResult runPlot(const PlotRequest& request, const StarSourceOpener& open, DrawingSurface& surface,
                  const RunHooks& hooks = {});
