#include "app/window_work.h"

#include <new>
#include <utility>

WindowWork::WindowWork(ThreadBudget& threads, Finish outOfMemory, QObject* parent)
    : QObject(parent), threads_(threads), outOfMemory_(std::move(outOfMemory)) {
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMilliseconds);
    connect(&retry_, &QTimer::timeout, this, [this] { startWaiting(); });
}

WindowWork::~WindowWork() {
    thread_.join();
}

void WindowWork::start(Work work) {
    waiting_ = std::move(work);
    ++newest_;
    startWaiting();
}

void WindowWork::startWaiting() {
    if (running_ || !waiting_) return;
    thread_.join();  // the piece before has handed its result over: it is ending, if not ended
    const std::uint64_t piece = newest_;
    Work work = waiting_;
    thread_ = threads_.start([this, piece, work = std::move(work)] {
        Finish finish;
        try {
            finish = work();
        } catch (const std::bad_alloc&) {
            finish = outOfMemory_;
        }
        {
            const std::lock_guard lock(handing_);
            donePiece_ = piece;
            done_ = std::move(finish);
        }
        // Queued to the window's thread; dropped there if this object has gone meanwhile.
        QMetaObject::invokeMethod(this, "finished", Qt::QueuedConnection);
    });
    if (!thread_.started()) {
        retry_.start();
        return;
    }
    waiting_ = nullptr;
    running_ = true;
}

void WindowWork::finished() {
    std::uint64_t piece = 0;
    Finish finish;
    {
        const std::lock_guard lock(handing_);
        piece = donePiece_;
        finish = std::move(done_);
        done_ = nullptr;
    }
    running_ = false;
    if (piece == newest_ && finish) finish();
    startWaiting();
}
