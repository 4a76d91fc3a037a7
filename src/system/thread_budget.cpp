#include "system/thread_budget.h"

#include <algorithm>
#include <exception>

ThreadBudget::Thread& ThreadBudget::Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        join();
        thread_ = std::move(other.thread_);
    }
    return *this;
}

ThreadBudget::ThreadBudget(int threads) : free_(std::max(threads, 0)) {}

int ThreadBudget::cores() {
    return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

ThreadBudget::Thread ThreadBudget::start(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        if (free_ == 0) return {};
        --free_;
    }
    try {
        return Thread(std::thread([this, work = std::move(work)] {
            work();
            giveBack();
        }));
    } catch (const std::exception&) {
        giveBack();  // the system would not start it (or had no memory): the asker works alone
        return {};
    }
}

int ThreadBudget::free() const {
    const std::lock_guard lock(mutex_);
    return free_;
}

void ThreadBudget::giveBack() {
    const std::lock_guard lock(mutex_);
    ++free_;
}
