#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "output/summary_table.h"
#include "plot/star_source.h"
#include "plotter/plot_job.h"

// quendra-plot: the command line read into a job, the job carried out, the counts (one input)
// or the summary (several) reported, and the exit status.
class HeadlessPlotter {
public:
    static constexpr int kCompleted = 0;
    static constexpr int kStopped = 1;
    static constexpr int kUsage = 2;

    // decimalSeparator is the user's, as the window would use it for the sensor size.
    // errIsTerminal: progress as a bar rather than a line per input.
    int run(const std::vector<std::string>& args, const std::string& decimalSeparator,
            std::ostream& out, std::ostream& err, bool errIsTerminal = false);

private:
    static bool loadThresholds(PlotJob& job, std::ostream& err);
    static int report(const PlotJob& job, const std::vector<SummaryRow>& rows, std::ostream& out,
                      std::ostream& err);
};
