#include "app/run_worker.h"

#include <new>
#include <utility>

#include "text/messages.h"

RunWorker::RunWorker(ThreadBudget& threads, QObject* parent) : QObject(parent), threads_(threads) {}

RunWorker::~RunWorker() {
    cancel();
    thread_.join();
}

bool RunWorker::start(PlotRequest request, StarSourceOpener open, RasterSurface& plot) {
    if (running()) return false;
    request_ = std::move(request);
    open_ = std::move(open);
    result_ = RunResult();
    shapes_.take();  // what an earlier run left, if it was never collected
    cancelled_ = false;
    lastStage_.clear();
    std::swap(plot_, plot);
    thread_ = threads_.start([this] { work(); });
    holding_ = thread_.started();
    if (!holding_) std::swap(plot_, plot);
    return holding_;
}

RunResult RunWorker::finish(RasterSurface& plot, bool cancel) {
    if (cancel) this->cancel();
    thread_.join();
    if (holding_) std::swap(plot_, plot);
    holding_ = false;
    return std::move(result_);
}

void RunWorker::work() {
    StarObserver* const observers[] = {&shapes_};
    RunHooks hooks;
    hooks.observers = observers;
    hooks.monitor = this;
    hooks.threads = &threads_;
    try {
        result_ = runPlot(request_, open_, plot_, hooks);
    } catch (const std::bad_alloc&) {
        result_ = RunResult(Fault{Messages::outOfMemory(), {}});
    }
    emit finished();
}

bool RunWorker::proceed(std::string_view stage, std::int64_t done, std::int64_t total) {
    if (cancelled_) return false;
    const auto now = std::chrono::steady_clock::now();
    {
        const std::lock_guard lock(reporting_);
        if (stage == lastStage_ && now - lastReport_ < kReportInterval) return true;
        lastReport_ = now;
        lastStage_ = stage;
    }
    emit progressed(QString::fromUtf8(stage.data(), static_cast<qsizetype>(stage.size())), done,
                    total);
    return !cancelled_;
}
