#include "plot/star_feed.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "doublestar/lens_preset.h"
#include "plot/recording_surface.h"
#include "plot/temp_file.h"

namespace {

// Records 1..count, areas 1 to 600 in turn, spread over the sensor, every fifth a double star
// by shape; `bad` replaces the given line's record.
std::string starList(int count, int badAt = 0, const std::string& bad = "") {
    std::string text = "header\r\n";
    for (int i = 1; i <= count; ++i) {
        if (i == badAt) {
            text += bad;
            continue;
        }
        const double area = 1 + (i * 37) % 600;
        text += std::to_string(i) + "," + std::to_string(area) + "," +
                std::to_string((i * 97) % 3902) + "." + std::to_string(i % 10) + "," +
                std::to_string((i * 61) % 2596) + ",0,0,3,3,8," + std::to_string(1 + i % 20) + "," +
                std::to_string(i % 180) + "," + (i % 5 == 0 ? "0.4" : "0.9") + "\r\n";
    }
    return text;
}

struct Taken {
    std::vector<StarFeed::Star> stars;
    RecordingSurface drawn;
    int batchesDrawnAhead = 0;
    DoubleCounts doubles{};
};

// Takes every batch, drawing each star as a run does; `pause` slows the drawing down.
Taken takeAll(StarFeed& feed, std::chrono::microseconds pause = {}) {
    Taken taken;
    StarRenderer renderer(taken.drawn, StarRenderer::Settings{});
    while (const StarFeed::Batch* batch = feed.next()) {
        for (std::size_t k = 0; k < batch->stars().size(); ++k) {
            batch->draw(k, renderer, taken.drawn);
            taken.stars.push_back(batch->stars()[k]);
        }
        taken.batchesDrawnAhead += batch->drawnAhead() ? 1 : 0;
        std::this_thread::sleep_for(pause);
    }
    return taken;
}

// The same list read, classified and drawn one record after the other.
Taken takeInOrder(const std::string& path, double areaMin, double areaMax) {
    Taken taken;
    StarList list;
    EXPECT_TRUE(list.open(path));
    Classifier classifier(LensPreset::initial(), "3902", "2596");
    StarRenderer renderer(taken.drawn, StarRenderer::Settings{});
    StarFeed::Star star;
    while (list.next(star.record) == StarList::Status::Record) {
        if (!(areaMin <= star.record.area && star.record.area < areaMax)) continue;
        star.classification = classifier.classify(star.record);
        renderer.draw(star.record, star.classification);
        taken.stars.push_back(star);
    }
    taken.doubles = classifier.doubleCounts();
    return taken;
}

void expectSameCalls(const RecordingSurface& a, const RecordingSurface& b) {
    ASSERT_EQ(a.calls.size(), b.calls.size());
    for (std::size_t i = 0; i < a.calls.size(); ++i) {
        const RecordingSurface::Call& x = a.calls[i];
        const RecordingSurface::Call& y = b.calls[i];
        ASSERT_TRUE(x.kind == y.kind && x.x == y.x && x.y == y.y && x.r == y.r && x.grey == y.grey)
            << "call " << i;
    }
}

TEST(StarFeed, HandsOutTheFilteredStarsInListOrderOverManyBatches) {
    const int count = static_cast<int>(StarFeed::kBatchSize * StarFeed::kBatches * 2 + 77);
    TempFile file(starList(count));
    StarList list;
    ASSERT_TRUE(list.open(file.path()));
    Classifier classifier(LensPreset::initial(), "3902", "2596");
    StarFeed feed(list, classifier, StarRenderer::Settings{}, 10, 300);
    const Taken taken = takeAll(feed);
    const Taken expected = takeInOrder(file.path(), 10, 300);
    ASSERT_EQ(taken.stars.size(), expected.stars.size());
    for (std::size_t i = 0; i < taken.stars.size(); ++i) {
        ASSERT_EQ(taken.stars[i].record.index, expected.stars[i].record.index);
        ASSERT_EQ(taken.stars[i].classification.kind, expected.stars[i].classification.kind);
    }
    expectSameCalls(taken.drawn, expected.drawn);
    const StarFeed::Ending& ending = feed.ending();
    EXPECT_EQ(ending.kind, StarFeed::Ending::Kind::End);
    EXPECT_EQ(ending.recordsRead, count);
    EXPECT_EQ(classifier.doubleCounts(), expected.doubles);
}

TEST(StarFeed, CirclesWorkedOutAheadAreTheRenderersOwn) {
    // A slow drawing lets the ring fill up, so that the reading thread draws ahead.
    const int count = static_cast<int>(StarFeed::kBatchSize * StarFeed::kBatches * 2);
    TempFile file(starList(count));
    StarList list;
    ASSERT_TRUE(list.open(file.path()));
    Classifier classifier(LensPreset::initial(), "3902", "2596");
    StarFeed feed(list, classifier, StarRenderer::Settings{}, 0, 10000);
    const Taken taken = takeAll(feed, std::chrono::milliseconds(20));
    EXPECT_GT(taken.batchesDrawnAhead, 0);
    expectSameCalls(taken.drawn, takeInOrder(file.path(), 0, 10000).drawn);
    EXPECT_EQ(feed.ending().kind, StarFeed::Ending::Kind::End);
}

TEST(StarFeed, StopsAtAMismatchOrAFaultAfterHandingOutWhatCameBefore) {
    const int count = static_cast<int>(StarFeed::kBatchSize * 3);
    const int at = count - 5;
    const struct {
        std::string bad;
        StarFeed::Ending::Kind kind;
    } cases[] = {
        {"7,1,1,1,0,0,3,3,8,6,30,0.9\r\n", StarFeed::Ending::Kind::Mismatch},
        {std::to_string(at) + ",1,x,1,0,0,3,3,8,6,30,0.9\r\n", StarFeed::Ending::Kind::Fault}};
    for (const auto& c : cases) {
        TempFile file(starList(count, at, c.bad));
        StarList list;
        ASSERT_TRUE(list.open(file.path()));
        Classifier classifier(LensPreset::initial(), "3902", "2596");
        StarFeed feed(list, classifier, StarRenderer::Settings{}, 0, 10000);
        const Taken taken = takeAll(feed);
        ASSERT_EQ(taken.stars.size(), static_cast<std::size_t>(at - 1));
        EXPECT_EQ(taken.stars.back().record.index, at - 1);
        const StarFeed::Ending& ending = feed.ending();
        EXPECT_EQ(ending.kind, c.kind);
        EXPECT_EQ(ending.record, at);
        EXPECT_EQ(ending.line, at + 1);
        EXPECT_EQ(ending.recordsRead, c.kind == StarFeed::Ending::Kind::Mismatch ? at : at - 1);
        if (c.kind == StarFeed::Ending::Kind::Fault) {
            EXPECT_EQ(ending.fault, list.fault());
        }
    }
}

TEST(StarFeed, AFeedLeftEarlyStopsItsReading) {
    TempFile file(starList(static_cast<int>(StarFeed::kBatchSize * StarFeed::kBatches * 4)));
    StarList list;
    ASSERT_TRUE(list.open(file.path()));
    Classifier classifier(LensPreset::initial(), "3902", "2596");
    // Leaving after one batch, or before any, must neither hang nor leave the thread behind.
    {
        StarFeed feed(list, classifier, StarRenderer::Settings{}, 0, 10000);
        ASSERT_NE(feed.next(), nullptr);
    }
    StarFeed untouched(list, classifier, StarRenderer::Settings{}, 0, 10000);
}

TEST(StarFeed, ReadingInlineGivesTheSameStarsAndEnding) {
    // Taken when no thread can be started: the calling thread reads each batch itself.
    const int count = static_cast<int>(StarFeed::kBatchSize * StarFeed::kBatches + 3);
    TempFile file(starList(count));
    TempFile broken(starList(count, count - 1, "9,1,1,1,0,0,3,3,8,6,30,0.9\r\n"));
    for (const TempFile* f : {&file, &broken}) {
        StarList list;
        ASSERT_TRUE(list.open(f->path()));
        Classifier classifier(LensPreset::initial(), "3902", "2596");
        StarFeed feed(list, classifier, StarRenderer::Settings{}, 0, 10000,
                      StarFeed::Reading::Inline);
        const Taken taken = takeAll(feed);
        EXPECT_EQ(taken.batchesDrawnAhead, 0);
        EXPECT_EQ(feed.next(), nullptr);
        if (f == &file) {
            expectSameCalls(taken.drawn, takeInOrder(f->path(), 0, 10000).drawn);
            EXPECT_EQ(feed.ending().kind, StarFeed::Ending::Kind::End);
        } else {
            EXPECT_EQ(taken.stars.size(), static_cast<std::size_t>(count - 2));
            EXPECT_EQ(feed.ending().kind, StarFeed::Ending::Kind::Mismatch);
            EXPECT_EQ(feed.ending().record, count - 1);
        }
    }
}

TEST(StarFeed, AnEmptyListEndsAtOnce) {
    TempFile file("header only\r\n");
    StarList list;
    ASSERT_TRUE(list.open(file.path()));
    Classifier classifier(LensPreset::initial(), "3902", "2596");
    StarFeed feed(list, classifier, StarRenderer::Settings{}, 0, 10000);
    EXPECT_EQ(feed.next(), nullptr);
    EXPECT_EQ(feed.next(), nullptr);
    EXPECT_EQ(feed.ending().kind, StarFeed::Ending::Kind::End);
    EXPECT_EQ(feed.ending().recordsRead, 0);
}

}  // namespace
