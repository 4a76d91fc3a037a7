#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "app/frame_measures.h"
#include "output/summary_table.h"
#include "plot/plotting_run.h"
#include "system/thread_budget.h"

// Runs the frames of the frame list on threads of the budget, as many at a time as it is
// allowed, in the order they were added. Each run counts and measures without drawing (a frame's
// plot is made again from its stars when it is shown) and keeps the frame's stars. The window's
// thread only hands out frames and collects what came of them: started() and finished() arrive
// on it.
class FrameRunner : public QObject {
    Q_OBJECT

public:
    struct Job {
        int number = 0;
        int generation = 0;
        PlotRequest request;
    };
    struct Outcome {
        int number = 0;
        int generation = 0;
        PlotRequest request;  // as run: a photograph's own size in it
        SummaryRow row;
        FrameMeasures measures;
        std::shared_ptr<const std::vector<StarRecord>> stars;
    };

    // atOnce: frames running at a time, each on a thread of its own.
    FrameRunner(ThreadBudget& threads, int atOnce, QObject* parent = nullptr);
    // Cancels what runs and waits for it.
    ~FrameRunner() override;
    FrameRunner(const FrameRunner&) = delete;
    FrameRunner& operator=(const FrameRunner&) = delete;

    void add(Job job);
    // The frames waiting are dropped and those running are cancelled (they end as cancelled
    // outcomes); returns the numbers of the dropped ones.
    std::vector<int> stopAll();
    // What has ended since the last call, in the order it ended.
    std::vector<Outcome> takeFinished();
    // Frames waiting or running.
    int pending() const;

signals:
    void started(int number, int generation);
    void finished();

private:
    struct Worker {
        ThreadBudget::Thread thread;
        std::atomic<bool> done{false};
    };

    void startWorkers();
    void work(Worker& worker);
    Outcome run(const Job& job, int epoch) const;

    ThreadBudget& threads_;
    int atOnce_;
    mutable std::mutex mutex_;
    std::deque<Job> jobs_;
    std::vector<Outcome> finished_;
    int working_ = 0;            // workers taking jobs
    int running_ = 0;            // jobs being run
    std::atomic<int> epoch_{0};  // one more at every stopAll(): the runs of before are cancelled
    std::list<std::unique_ptr<Worker>> workers_;
    QTimer retry_;  // when the budget had no thread, it is asked again
};
