#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/plot_job.h"
#include "output/summary_table.h"
#include "plot/star_source.h"

// quendra-plot: the command line read into a job, the job carried out, the counts (one input)
// or the summary (several) reported, and the exit status.
class HeadlessPlotter {
public:
    static constexpr int kCompleted = 0;
    static constexpr int kStopped = 1;
    static constexpr int kUsage = 2;

    // decimalSeparator: the user's, for a sensor size that is not a whole number of digits.
    explicit HeadlessPlotter(std::string decimalSeparator = ".")
        : decimalSeparator_(std::move(decimalSeparator)) {}

    // errIsTerminal: progress as a bar rather than a line per input. stop: what ends a watch
    // (--watch); without it, the first SIGINT, SIGTERM or SIGHUP (InterruptStop).
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            bool errIsTerminal = false, const std::atomic<bool>* stop = nullptr);

private:
    std::string decimalSeparator_;

    static bool loadThresholds(PlotJob& job, std::ostream& err);
    static int watch(const PlotJob& job, std::ostream& out, std::ostream& err,
                     const std::atomic<bool>& stop);
    static int report(const PlotJob& job, const std::vector<SummaryRow>& rows, std::ostream& out,
                      std::ostream& err);
};
