#include "system/thread_budget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

// Work that holds its thread until let go.
class Gate {
public:
    void wait() {
        std::unique_lock lock(mutex_);
        ++waiting_;
        arrived_.notify_all();
        open_.wait(lock, [this] { return opened_; });
    }
    void waitFor(int threads) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [&] { return waiting_ == threads; });
    }
    void open() {
        {
            const std::lock_guard lock(mutex_);
            opened_ = true;
        }
        open_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable open_;
    int waiting_ = 0;
    bool opened_ = false;
};

TEST(ThreadBudget, NoMoreThreadsAtOnceThanItHoldsAndEachPlaceBackWhenItsWorkIsDone) {
    ThreadBudget budget(2);
    Gate gate;
    std::atomic<int> done{0};
    const auto work = [&] {
        gate.wait();
        ++done;
    };
    ThreadBudget::Thread a = budget.start(work);
    ThreadBudget::Thread b = budget.start(work);
    ASSERT_TRUE(a.started() && b.started());
    gate.waitFor(2);
    // Spent: the asker is told at once and does the work itself; nothing waits.
    ThreadBudget::Thread refused = budget.start([&] { ++done; });
    EXPECT_FALSE(refused.started());
    EXPECT_EQ(budget.free(), 0);
    gate.open();
    a.join();
    b.join();
    EXPECT_EQ(done, 2);  // the refused work never ran
    EXPECT_EQ(budget.free(), 2);
    ThreadBudget::Thread again = budget.start([&] { ++done; });
    EXPECT_TRUE(again.started());
    again.join();
    EXPECT_EQ(done, 3);
}

TEST(ThreadBudget, AnEmptyBudgetStartsNothing) {
    ThreadBudget none(0);
    EXPECT_FALSE(none.start([] {}).started());
    ThreadBudget negative(-3);
    EXPECT_EQ(negative.free(), 0);
}

}  // namespace
