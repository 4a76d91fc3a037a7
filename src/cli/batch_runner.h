#pragma once

#include <vector>

#include "cli/batch_progress.h"
#include "cli/job_runner.h"
#include "output/summary_table.h"
#include "system/thread_budget.h"

// Runs every input of a job, as many at a time as the job allows and the budget has threads
// for (the calling thread is one), each on a plot of its own; a stopped input does not stop the
// others. The rows come back in the order of the inputs.
class BatchRunner {
public:
    static std::vector<SummaryRow> run(const PlotJob& job, const std::vector<OutputNames>& outputs,
                                       const StarSourceOpener& open, ThreadBudget& threads,
                                       BatchProgress& progress);
};
