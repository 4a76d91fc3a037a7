#include "plot/drawing_record.h"

#include <gtest/gtest.h>

#include <cmath>

#include "plot/recording_surface.h"

namespace {

TEST(DrawingRecord, ReplaysEveryStepInOrderWithTheSameArguments) {
    DrawingRecord record;
    record.drawCircle(1.5F, 2.25F, 3.0F, 10);
    record.setPixel(-0.6F, 7.49F, 20);
    record.drawCircle(4, 5, -2.0F, 30);  // a negative radius stays a circle
    record.drawCircle(NAN, INFINITY, 0, 40);
    record.setPixel(8, 9, 50);
    // What the real surface is told besides the steps is not the record's to keep.
    EXPECT_TRUE(record.resize(10, 10));
    record.clear();
    record.setFillGrey(3);
    ASSERT_EQ(record.steps().size(), 5U);

    RecordingSurface surface;
    record.replay(1, 4, surface);
    ASSERT_EQ(surface.calls.size(), 3U);
    EXPECT_EQ(surface.calls[0].kind, RecordingSurface::Call::Pixel);
    EXPECT_EQ(surface.calls[0].x, -0.6F);
    EXPECT_EQ(surface.calls[0].y, 7.49F);
    EXPECT_EQ(surface.calls[0].grey, 20);
    EXPECT_EQ(surface.calls[1].kind, RecordingSurface::Call::Circle);
    EXPECT_EQ(surface.calls[1].r, -2.0F);
    EXPECT_TRUE(std::isnan(surface.calls[2].x));
    EXPECT_EQ(surface.calls[2].grey, 40);

    DrawingRecord other;
    other.drawCircle(0, 0, 1, 1);
    record.swap(other);
    EXPECT_EQ(record.steps().size(), 1U);
    other.forget();
    EXPECT_TRUE(other.steps().empty());
}

}  // namespace
