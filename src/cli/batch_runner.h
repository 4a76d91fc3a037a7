#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cli/batch_progress.h"
#include "cli/job_runner.h"
#include "output/summary_table.h"
#include "system/thread_budget.h"

// Runs every input of a job, as many at a time as the job allows, the budget has threads for
// (the calling thread is one) and half the machine's memory holds, each on a plot of its own; a
// stopped input does not stop the others. The rows come back in the order of the inputs.
class BatchRunner {
public:
    static std::vector<SummaryRow> run(const PlotJob& job, const std::vector<OutputNames>& outputs,
                                       const StarSourceOpener& open, ThreadBudget& threads,
                                       BatchProgress& progress);

    // Runs at a time: asked, no more than inputs, and no more than half of memory (bytes; 0:
    // unknown) holds runs of runBytes each; always one.
    static std::size_t runsAtOnce(std::size_t asked, std::size_t inputs, double runBytes,
                                  double memory);
    // What one run of the job on this input holds at most: its plot (a byte a pixel), and for a
    // photograph its picture and the detection's room (four bytes a pixel each), besides a
    // little for reading.
    static double runBytes(const PlotJob& job, const std::string& input);
};
