#pragma once

#include <string>

#include "cli/plot_job.h"
#include "output/star_list_writer.h"
#include "output/summary_table.h"
#include "plot/star_source.h"
#include "system/thread_budget.h"

// Carries out one input of a job: a fresh plot, the run, and, when it completed, every output
// the job names put in place; a stopped run writes none of them and keeps the old files.
class JobRunner {
public:
    // open: the opener of the job's inputs; threads: where a run takes its helper threads.
    JobRunner(const PlotJob& job, StarSourceOpener open, ThreadBudget& threads);

    // monitor: where the run may be cancelled (a watch asked to stop); a cancelled run writes
    // nothing.
    SummaryRow run(const std::string& input, const OutputNames& outputs,
                   RunMonitor* monitor = nullptr) const;

private:
    ControlTexts controlsFor(const std::string& input) const;

    const PlotJob& job_;
    StarSourceOpener open_;
    ThreadBudget& threads_;
};
