#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frame_measures.h"
#include "output/summary_table.h"
#include "plot/plotting_run.h"

// One frame of a night in the frame list: its file, the settings it is run with, how its run
// ended and what it measured, and whether it is rejected.
struct FrameRecord {
    enum class State { Waiting, Running, Done, Failed, Cancelled };

    int number = 0;        // 番号: 1 for the first frame added
    std::string path;      // the file as it was added, in the system's bytes
    std::string location;  // where the file is now: in `rejected` after a move
    // The main window's settings and the double-star limits it is run with, as they were when
    // it was added (or at the last "再計算"); after the run, with a photograph's own size.
    PlotRequest request;
    State state = State::Waiting;
    SummaryRow row;  // how its last run ended, as --summary writes it
    FrameMeasures measures;
    // What draws it again without reading its file; nullptr: drawn again from its file.
    std::shared_ptr<const std::vector<StarRecord>> stars;
    std::optional<bool> byHand;  // rejected (true) or kept (false) by hand, whatever the limit
    bool rejected = false;       // by the limit or by hand
    bool moved = false;          // the file is in `rejected`
    int generation = 0;          // its run that counts: "再計算" starts another

    bool done() const { return state == State::Done; }
    // Double stars among the drawn ones, of a completed run that drew any.
    std::optional<double> doubleFraction() const {
        if (!done() || row.result.starsDrawn <= 0) return std::nullopt;
        return static_cast<double>(doubles()) / static_cast<double>(row.result.starsDrawn);
    }
    std::int64_t singles() const { return total(true); }
    std::int64_t doubles() const { return total(false); }

private:
    std::int64_t total(bool single) const {
        std::int64_t sum = 0;
        for (std::size_t k = 1; k <= AreaClass::kCount; ++k) {
            sum += single ? row.result.singleCounts[k].value_or(0) : row.result.doubleCounts[k];
        }
        return sum;
    }
};
