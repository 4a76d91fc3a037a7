#include "cli/watch_runner.h"

#include <chrono>
#include <new>
#include <thread>

#include "cli/output_plan.h"
#include "plot/run_monitor.h"
#include "sources/folder_watch.h"
#include "text/messages.h"

namespace {

// Cancels a frame's run once the watch is asked to stop.
class StopMonitor : public RunMonitor {
public:
    explicit StopMonitor(const std::atomic<bool>& stop) : stop_(stop) {}
    bool proceed(std::string_view, std::int64_t, std::int64_t) override { return !stop_; }

private:
    const std::atomic<bool>& stop_;
};

// The usage error of an input's outputs, without the program's name, as a frame's message.
std::string withoutProgram(std::string error) {
    constexpr std::string_view kProgram = "quendra-plot: ";
    if (error.starts_with(kProgram)) error.erase(0, kProgram.size());
    if (!error.empty() && error.back() == '\n') error.pop_back();
    return error;
}

}  // namespace

WatchRunner::WatchRunner(const PlotJob& job, const StarSourceOpener& open, ThreadBudget& threads,
                         BatchProgress& progress, SummaryAppender& summary, std::ostream& err,
                         const std::atomic<bool>& stop)
    : job_(job),
      runner_(job, open, threads),
      threads_(threads),
      progress_(progress),
      summary_(summary),
      err_(err),
      stop_(stop),
      accepted_(job) {}

int WatchRunner::run() {
    FolderWatch watch(job_.watch);
    // Each worker waits for frames; with none to be had, this thread runs them between looks.
    std::vector<ThreadBudget::Thread> workers;
    for (int i = 0; i < job_.parallel; ++i) {
        ThreadBudget::Thread worker = threads_.start([this] { work(); });
        if (!worker.started()) break;
        workers.push_back(std::move(worker));
    }
    while (!stop_) {
        Result<std::vector<std::string>> arrived = watch.poll();
        if (arrived.done()) {
            for (const std::string& input : arrived.value()) accept(input);
        } else {
            problem(arrived.fault().message);
        }
        if (workers.empty()) {
            Frame frame;
            while (nextFrame(frame, false)) runFrame(frame);
        }
        idle();
    }
    {
        // Taken once the stop is set: a worker is then either about to see it or waiting.
        const std::lock_guard lock(mutex_);
    }
    waiting_.notify_all();
    workers.clear();
    progress_.done();
    return failed_ ? 1 : 0;
}

void WatchRunner::idle() {
    std::unique_lock lock(mutex_);
    for (int waited = 0; waited < kPollMs && !stop_; waited += 50) {
        waiting_.wait_for(lock, std::chrono::milliseconds(50), [this] { return stop_.load(); });
    }
}

void WatchRunner::accept(const std::string& input) {
    PlotJob trial = accepted_;
    trial.inputs.push_back(input);
    std::vector<OutputNames> outputs;
    if (const std::string error = OutputPlan::check(trial, outputs); !error.empty()) {
        finish({input, RunResult(Fault{withoutProgram(error), {}})}, {});
        return;
    }
    accepted_.inputs.push_back(input);
    const std::lock_guard lock(mutex_);
    frames_.push_back({input, outputs.back()});
    waiting_.notify_one();
}

bool WatchRunner::nextFrame(Frame& frame, bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) waiting_.wait(lock, [this] { return stop_ || !frames_.empty(); });
    if (stop_ || frames_.empty()) return false;
    frame = std::move(frames_.front());
    frames_.pop_front();
    return true;
}

void WatchRunner::work() {
    Frame frame;
    while (nextFrame(frame, true)) runFrame(frame);
}

void WatchRunner::runFrame(const Frame& frame) {
    const auto start = std::chrono::steady_clock::now();
    StopMonitor monitor(stop_);
    SummaryRow row;
    try {
        row = runner_.run(frame.input, frame.outputs, &monitor);
    } catch (const std::bad_alloc&) {
        row = {frame.input, RunResult(Fault{Messages::outOfMemory(), {}})};
    }
    // A frame the stop cut short was never done: it has no row.
    if (row.result.cancelled()) return;
    finish(row, std::chrono::steady_clock::now() - start);
}

void WatchRunner::finish(const SummaryRow& row, std::chrono::duration<double> took) {
    const std::lock_guard lock(mutex_);  // standard error is written by one thread at a time
    progress_.finished(row, took);
    const Result<> written = summary_.append(row);
    if (!row.result.done()) failed_ = true;
    if (!written.done()) {
        failed_ = true;
        if (written.fault().message != lastProblem_) err_ << written.fault().message << '\n';
        lastProblem_ = written.fault().message;
    }
}

// A folder that cannot be read now (a disk gone for a moment) is told once and looked at again.
void WatchRunner::problem(const std::string& message) {
    const std::lock_guard lock(mutex_);
    failed_ = true;
    if (message != lastProblem_) err_ << "quendra-plot: " << message << '\n';
    lastProblem_ = message;
}
