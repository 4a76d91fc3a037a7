#include "plot/star_feed.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "plot/temp_file.h"
#include "sources/lists/star_list.h"

namespace {

// Records 1..count; `bad` replaces the given line's record.
std::string starList(int count, int badAt = 0, const std::string& bad = "") {
    std::string text = "header\r\n";
    for (int i = 1; i <= count; ++i) {
        text += i == badAt ? bad
                           : std::to_string(i) + "," + std::to_string(1 + (i * 37) % 600) +
                                 ",10.5,20,0,0,3,3,8,6,30,0.9\r\n";
    }
    return text;
}

std::vector<StarFeed::Read> takeAll(StarFeed& feed) {
    std::vector<StarFeed::Read> taken;
    while (const StarFeed::Batch* batch = feed.next()) {
        taken.insert(taken.end(), batch->begin(), batch->end());
    }
    return taken;
}

TEST(StarFeed, HandsOutEveryRecordInOrderWithItsLineAheadOrInline) {
    const int count = static_cast<int>(StarFeed::kBatchSize * StarFeed::kBatches * 2 + 77);
    TempFile file(starList(count));
    ThreadBudget threads(1);
    for (ThreadBudget* reading : {&threads, static_cast<ThreadBudget*>(nullptr)}) {
        StarList list;
        ASSERT_TRUE(list.open(file.path()).done());
        StarFeed feed(list, reading);
        const std::vector<StarFeed::Read> taken = takeAll(feed);
        ASSERT_EQ(taken.size(), static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(taken[static_cast<std::size_t>(i)].record.index, i + 1);
            ASSERT_EQ(taken[static_cast<std::size_t>(i)].line, i + 2);
        }
        EXPECT_EQ(feed.next(), nullptr);
        EXPECT_TRUE(feed.ending().reading.done());
        EXPECT_EQ(feed.ending().recordsRead, count);
    }
}

// Notes where each batch was prepared and marks each record with its own number; stops before
// the record numbered `stopAt`.
class NotingStage : public StarFeed::Stage {
public:
    explicit NotingStage(double stopAt) : stopAt_(stopAt) {}

    std::size_t prepare(StarFeed::Batch& batch) override {
        threads.insert(std::this_thread::get_id());
        for (std::size_t k = 0; k < batch.size(); ++k) {
            if (batch[k].record.index == stopAt_) return k;
            batch[k].prepared.classification.radialAngle =
                static_cast<float>(batch[k].record.index);
        }
        return batch.size();
    }

    std::set<std::thread::id> threads;

private:
    double stopAt_;
};

TEST(StarFeed, TheStageWorksOnEachBatchWhereItIsReadAndCanStopTheReading) {
    ThreadBudget threads(1);
    const int count = static_cast<int>(StarFeed::kBatchSize * StarFeed::kBatches * 3);
    TempFile file(starList(count));
    // Within a batch, and at the first record of one, which leaves that batch empty.
    for (const int stopAt : {count - 100, static_cast<int>(StarFeed::kBatchSize * 9 + 1)})
        for (ThreadBudget* reading : {&threads, static_cast<ThreadBudget*>(nullptr)}) {
            StarList list;
            ASSERT_TRUE(list.open(file.path()).done());
            NotingStage stage(stopAt);
            StarFeed feed(list, reading, &stage);
            std::size_t taken = 0;
            while (const StarFeed::Batch* batch = feed.next()) {
                for (const StarFeed::Read& read : *batch) {
                    ASSERT_EQ(read.record.index, static_cast<double>(++taken));
                    // What the stage made of the record came with it, however far ahead it ran.
                    ASSERT_EQ(read.prepared.classification.radialAngle, read.record.index);
                }
            }
            EXPECT_EQ(taken, static_cast<std::size_t>(stopAt - 1));
            EXPECT_TRUE(feed.ending().stopped);
            ASSERT_EQ(stage.threads.size(), 1U);
            EXPECT_EQ(*stage.threads.begin() == std::this_thread::get_id(), reading == nullptr);
        }
}

TEST(StarFeed, AFaultEndsTheFeedAfterTheRecordsBeforeIt) {
    ThreadBudget threads(1);
    const int count = static_cast<int>(StarFeed::kBatchSize * 3);
    const int at = count - 5;
    TempFile file(starList(count, at, std::to_string(at) + ",1,x,1,0,0,3,3,8,6,30,0.9\r\n"));
    StarList list;
    ASSERT_TRUE(list.open(file.path()).done());
    StarFeed feed(list, &threads);
    EXPECT_EQ(takeAll(feed).size(), static_cast<std::size_t>(at - 1));
    const StarFeed::Ending& ending = feed.ending();
    EXPECT_TRUE(ending.reading.faulted());
    EXPECT_EQ(ending.recordsRead, at - 1);
    EXPECT_EQ(ending.reading.fault(), list.fault());
    EXPECT_NE(ending.reading.fault().message.find("「x」は数値ではありません"), std::string::npos);
}

TEST(StarFeed, AFeedLeftEarlyStopsItsReading) {
    ThreadBudget threads(1);
    TempFile file(starList(static_cast<int>(StarFeed::kBatchSize * StarFeed::kBatches * 4)));
    StarList list;
    ASSERT_TRUE(list.open(file.path()).done());
    // Leaving after one batch, or before any, must neither hang nor leave the thread behind.
    {
        StarFeed feed(list, &threads);
        ASSERT_NE(feed.next(), nullptr);
    }
    StarFeed untouched(list, &threads);
}

TEST(StarFeed, AnEmptyListEndsAtOnce) {
    ThreadBudget threads(1);
    TempFile file("header only\r\n");
    StarList list;
    ASSERT_TRUE(list.open(file.path()).done());
    StarFeed feed(list, &threads);
    EXPECT_EQ(feed.next(), nullptr);
    EXPECT_EQ(feed.next(), nullptr);
    EXPECT_TRUE(feed.ending().reading.done());
    EXPECT_EQ(feed.ending().recordsRead, 0);
}

}  // namespace
