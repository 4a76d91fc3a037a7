#pragma once

#include <functional>
#include <mutex>
#include <thread>

// The threads the program's work may start beside the threads that ask: a batch's runs, a run's
// reading thread and a photograph's second core all take theirs here and give them back when
// their work is done, so that however the work nests, no more of them work at once than the
// budget holds. Asking never waits: with no place left (or when the system will not start a
// thread) the asking thread does the work itself.
class ThreadBudget {
public:
    // One thread of the budget, joined when it goes (or by join()).
    class Thread {
    public:
        Thread() = default;
        Thread(Thread&& other) noexcept = default;
        Thread& operator=(Thread&& other) noexcept;
        ~Thread() { join(); }

        // False when no thread was started: the work was not done and is the asker's.
        bool started() const { return thread_.joinable(); }
        void join() {
            if (thread_.joinable()) thread_.join();
        }

    private:
        friend class ThreadBudget;
        explicit Thread(std::thread thread) : thread_(std::move(thread)) {}

        std::thread thread_;
    };

    // Room for `threads` threads at once; 0 or less: none, every work on the thread that asks.
    explicit ThreadBudget(int threads);
    ThreadBudget(const ThreadBudget&) = delete;
    ThreadBudget& operator=(const ThreadBudget&) = delete;

    // The machine's cores, at least 1.
    static int cores();

    // Starts `work` on a thread of the budget; its place is free again as soon as the work
    // returns. The work must not throw.
    Thread start(std::function<void()> work);
    // Places free now.
    int free() const;

private:
    void giveBack();

    mutable std::mutex mutex_;
    int free_;
};
