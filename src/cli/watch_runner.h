#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "cli/batch_progress.h"
#include "cli/job_runner.h"
#include "cli/summary_appender.h"
#include "system/thread_budget.h"

// quendra-plot --watch: runs every input already in the folder, then each new one once it is
// complete (FolderWatch), -j at a time, each as one input of a batch is run, with its outputs
// named by the job's patterns; each finished frame's summary row is appended at once. Runs until
// `stop` is set: the frames still running are then cancelled and write nothing, those waiting are
// not started, and every file written is whole.
class WatchRunner {
public:
    static constexpr int kPollMs = 250;

    WatchRunner(const PlotJob& job, const StarSourceOpener& open, ThreadBudget& threads,
                BatchProgress& progress, SummaryAppender& summary, std::ostream& err,
                const std::atomic<bool>& stop);

    // The exit status: 0 when every frame completed, 1 when one stopped or the folder or the
    // summary could not be read or written.
    int run();

private:
    struct Frame {
        std::string input;
        OutputNames outputs;
    };

    void accept(const std::string& input);
    void work();
    // A frame waiting and not stopped: true with it; false once the watch ends.
    bool nextFrame(Frame& frame, bool wait);
    void runFrame(const Frame& frame);
    void finish(const SummaryRow& row, std::chrono::duration<double> took);
    void problem(const std::string& message);
    void idle();

    const PlotJob& job_;
    JobRunner runner_;
    ThreadBudget& threads_;
    BatchProgress& progress_;
    SummaryAppender& summary_;
    std::ostream& err_;
    const std::atomic<bool>& stop_;
    PlotJob accepted_;  // the inputs taken so far, whose outputs new ones must not meet
    std::mutex mutex_;
    std::condition_variable waiting_;
    std::deque<Frame> frames_;
    std::string lastProblem_;
    bool failed_ = false;
};
