#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "plot/frame_facts.h"
#include "plot/plot_settings.h"
#include "plot/run_monitor.h"
#include "plot/star_record.h"
#include "system/thread_budget.h"
#include "text/fault.h"
#include "text/result.h"

// Where a run's stars come from: a star list, a catalog, a photograph. Records arrive in their
// order; the run checks their numbers, filters and classifies them.
class StarSource {
public:
    enum class Status { Record, End, Fault };

    virtual ~StarSource() = default;

    // The next record; End after the last one; Fault with fault() set.
    virtual Status next(StarRecord& record) = 0;
    virtual const Fault& fault() const = 0;
    // Where the reading is, for messages: the line of a text file, 0 where lines mean nothing.
    virtual long line() const = 0;
    virtual std::int64_t recordsRead() const = 0;
    // How the frame was taken, where the source knows it.
    virtual FrameFacts facts() const { return {}; }
};

// What a source may need to know when it opens: a catalog turns its rows upside down by the
// sensor height, a photograph is detected under the monitor's eye and on a second core where the
// budget has one.
struct SourceContext {
    const PlotSettings& settings;
    RunMonitor* monitor = nullptr;
    ThreadBudget* threads = nullptr;
};

// Opens the source for a path: the source, or the fault why it cannot be opened, or cancelled
// when the monitor stopped the opening (a photograph's detection).
using StarSourceOpener = std::function<Result<std::unique_ptr<StarSource>>(
    const std::string& path, const SourceContext& context)>;
