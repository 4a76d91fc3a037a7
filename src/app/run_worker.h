#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "plot/plotting_run.h"
#include "plot/run_monitor.h"
#include "raster/raster_surface.h"
#include "shape/shape_collector.h"
#include "system/thread_budget.h"

// One plotting run on a thread of the budget, for a window. The window hands it the request as it
// stood at the press of "描画", the opener and the plot; the worker draws on the plot while the
// window's thread goes on, and tells of the run's progress and its end by signals, which arrive on
// the window's thread. The window may cancel the run, which then stops as a stopped run does.
// Any number of workers may run at once, each on a plot of its own.
class RunWorker : public QObject, private RunMonitor {
    Q_OBJECT

public:
    // Progress is told at most this often, so that a run does not flood the window's events.
    static constexpr std::chrono::milliseconds kReportInterval{40};

    explicit RunWorker(ThreadBudget& threads, QObject* parent = nullptr);
    // Cancels a run that is still going and waits for it.
    ~RunWorker() override;
    RunWorker(const RunWorker&) = delete;
    RunWorker& operator=(const RunWorker&) = delete;

    // Starts the run on a thread of the budget, drawing on `plot`, whose pixels the worker holds
    // until finish() gives them back (the caller's plot is empty meanwhile). False, the plot left
    // as it was, when no thread could be had.
    bool start(PlotRequest request, StarSourceOpener open, RasterSurface& plot);
    // Asks the run to stop at its next step. Safe from any thread.
    void cancel() { cancelled_ = true; }
    bool running() const { return thread_.started(); }
    // After finished(), or to stop at once: waits for the run (cancelled first when `cancel`),
    // gives the plot back and returns how the run ended.
    RunResult finish(RasterSurface& plot, bool cancel = false);
    // After finish(): what the star-shape map needs of every star the run drew, handed over
    // once; null when the run drew more than the next run's most (40 bytes a star are kept).
    ShapeStars takeShapes() { return shapes_.take(); }
    // Before start(): how many stars' shapes the run keeps at most.
    void keepShapesOfAtMost(std::size_t stars) { shapes_.keepAtMost(stars); }

signals:
    // stage: what the run is doing ("星を描いています", ...); done of total, total 0 when not
    // known.
    void progressed(const QString& stage, qint64 done, qint64 total);
    // The run has ended; finish() collects it.
    void finished();

private:
    void work();
    bool proceed(std::string_view stage, std::int64_t done, std::int64_t total) override;

    ThreadBudget& threads_;
    PlotRequest request_;
    StarSourceOpener open_;
    RasterSurface plot_;
    RunResult result_;
    ShapeCollector shapes_;
    bool holding_ = false;  // the caller's plot is with the worker
    std::atomic<bool> cancelled_{false};
    std::mutex reporting_;
    std::chrono::steady_clock::time_point lastReport_;
    std::string lastStage_;
    ThreadBudget::Thread thread_;  // started last, once everything it uses is set
};
