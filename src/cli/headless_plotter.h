#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "output/summary_table.h"
#include "plot/star_source.h"
#include "cli/picture_module.h"
#include "cli/plot_job.h"

// quendra-plot: the command line read into a job, the job carried out, the counts (one input)
// or the summary (several) reported, and the exit status.
class HeadlessPlotter {
public:
    static constexpr int kCompleted = 0;
    static constexpr int kStopped = 1;
    static constexpr int kUsage = 2;

    // pictures: photographs, PNG plots and the user's decimal separator (for a sensor size
    // that is not a whole number of digits), asked for only when needed.
    explicit HeadlessPlotter(PictureModule& pictures) : pictures_(pictures) {}

    // errIsTerminal: progress as a bar rather than a line per input.
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            bool errIsTerminal = false);

private:
    PictureModule& pictures_;

    // Loads the modules the job needs on this thread, before the runs start on theirs.
    void prepareModules(const PlotJob& job, const std::vector<OutputNames>& outputs);
    static bool loadThresholds(PlotJob& job, std::ostream& err);
    static int report(const PlotJob& job, const std::vector<SummaryRow>& rows, std::ostream& out,
                      std::ostream& err);
};
