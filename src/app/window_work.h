#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <mutex>

#include "system/thread_budget.h"

// Work a window hands to a thread of the budget, one piece at a time, never done on the
// window's own thread: with no thread free it waits a moment and asks again. A piece returns
// what to do with its result, which is done on the window's thread, unless newer work was asked
// for meanwhile: then the result is dropped and the newest work runs next.
class WindowWork : public QObject {
    Q_OBJECT

public:
    // What a piece of work leaves to do on the window's thread.
    using Finish = std::function<void()>;
    using Work = std::function<Finish()>;

    // How long the work waits for a thread when the budget has none free.
    static constexpr int kRetryMilliseconds = 50;

    // outOfMemory: done on the window's thread when a piece ran out of memory.
    WindowWork(ThreadBudget& threads, Finish outOfMemory, QObject* parent = nullptr);
    // Waits for the piece under way; its result is dropped.
    ~WindowWork() override;
    WindowWork(const WindowWork&) = delete;
    WindowWork& operator=(const WindowWork&) = delete;

    // Replaces the work not yet started, and makes the result of the piece under way stale.
    void start(Work work);
    // Work is asked for, under way or waiting for a thread.
    bool busy() const { return running_ || static_cast<bool>(waiting_); }

private:
    void startWaiting();
    // Queued by the piece's thread once it has left its result in done_.
    Q_INVOKABLE void finished();

    ThreadBudget& threads_;
    Finish outOfMemory_;
    Work waiting_;
    std::uint64_t newest_ = 0;  // the number of the newest piece asked for
    bool running_ = false;
    QTimer retry_;
    std::mutex handing_;
    std::uint64_t donePiece_ = 0;  // the number of the piece whose result is in done_
    Finish done_;
    ThreadBudget::Thread thread_;
};
