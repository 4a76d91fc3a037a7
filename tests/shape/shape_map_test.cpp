#include "shape/shape_map.h"

#include <gtest/gtest.h>

#include "shape/shape_collector.h"
#include "shape/shape_reading.h"
#include "shape_fields.h"

using namespace shape_fields;

namespace {

bool mentions(const ReadingLine& line, const std::string& words) {
    return line.text.find(words) != std::string::npos;
}

TEST(ShapeMap, UniformTrailReadsAsTrackingWithItsDirection) {
    const ShapeMap map = mapOf(lattice(12, 8, [](ShapeStar& s) {
        s.angle = 32;
        s.roundness = 0.6;
    }));
    const ShapeSummary& f = map.frame();
    EXPECT_EQ(f.n, 96);
    EXPECT_NEAR(*f.elongation, 0.4, 1e-12);
    EXPECT_NEAR(*f.direction, 32, 1e-9);
    EXPECT_NEAR(*f.coherence, 1, 1e-12);
    EXPECT_DOUBLE_EQ(*f.size, 3);
    EXPECT_DOUBLE_EQ(*f.roundness, 0.6);
    EXPECT_EQ(map.readingCodes(), "trailing");
    EXPECT_TRUE(mentions(map.reading()[0], "同じ向き（32°）"));
    EXPECT_TRUE(mentions(map.reading()[0], "追尾・ガイドのずれ"));
    // Every region sees the same trail.
    for (const ShapeRegion& region : map.regions())
        EXPECT_NEAR(*region.summary.direction, 32, 1e-9);
}

TEST(ShapeMap, DirectionIsAxialAndTakenIntoZeroTo180) {
    // 100° and −80° (= 280°) are the same axis; 2θ = 200° puts atan2 below 0.
    std::vector<ShapeStar> stars = lattice(5, 4, [](ShapeStar& s) {
        s.angle = 100;
        s.roundness = 0.5;
    });
    stars[0].angle = -80;
    const ShapeMap map = mapOf(stars);
    EXPECT_NEAR(*map.frame().direction, 100, 1e-9);
    EXPECT_NEAR(*map.frame().coherence, 1, 1e-12);
}

TEST(ShapeMap, RadialAndTangentialFieldsAreToldApart) {
    const ShapeMap radial = mapOf(lattice(12, 8, [](ShapeStar& s) {
        s.angle = static_cast<float>(radialOf(s.x, s.y));
        s.roundness = 0.7;
    }));
    EXPECT_NEAR(*radial.frame().radial, 1, 1e-6);
    EXPECT_LT(*radial.frame().coherence, ShapeReading::kTrailingFrom);
    EXPECT_EQ(radial.readingCodes(), "radial");
    EXPECT_TRUE(mentions(radial.reading()[0], "コマ収差"));
    EXPECT_TRUE(mentions(radial.reading()[0], "放射度 +1.00"));

    const ShapeMap tangential = mapOf(lattice(12, 8, [](ShapeStar& s) {
        s.angle = static_cast<float>(radialOf(s.x, s.y) + 90);
        s.roundness = 0.7;
    }));
    EXPECT_NEAR(*tangential.frame().radial, -1, 1e-6);
    EXPECT_EQ(tangential.readingCodes(), "tangential");
    EXPECT_TRUE(mentions(tangential.reading()[0], "非点収差"));

    // Turned 45° from the radius: neither, and no common direction either.
    const ShapeMap mixed = mapOf(lattice(12, 8, [](ShapeStar& s) {
        s.angle = static_cast<float>(radialOf(s.x, s.y) + 45);
        s.roundness = 0.7;
    }));
    EXPECT_NEAR(*mixed.frame().radial, 0, 1e-6);
    EXPECT_EQ(mixed.readingCodes(), "mixed");
}

TEST(ShapeMap, RoundStarsAndTooFewStars) {
    std::vector<ShapeStar> stars = lattice(5, 4, [](ShapeStar& s) { s.roundness = 0.9; });
    EXPECT_EQ(mapOf(stars).readingCodes(), "round");
    stars.pop_back();
    const ShapeMap few = mapOf(stars);
    ASSERT_EQ(few.reading().size(), 1U);
    EXPECT_EQ(few.reading()[0].code, "too-few");
    EXPECT_TRUE(mentions(few.reading()[0], "19 個"));
}

TEST(ShapeMap, LargerStarsInOneCornerReadAsTilt) {
    const ShapeMap map = mapOf(lattice(12, 9, [](ShapeStar& s) {
        if (s.x < kWidth / 3.0 && s.y < kHeight / 3.0) s.size = 4.5;
    }));
    EXPECT_EQ(map.region(1, 1).summary.n, 12);
    ASSERT_TRUE(map.tilt());
    EXPECT_DOUBLE_EQ(*map.tilt(), 100 * (4.5 - 3) / 3);
    EXPECT_EQ(map.readingCodes(), "round+tilt");
    EXPECT_TRUE(mentions(map.reading()[1], "左上の隅が最も大きく"));
    // Without its own corners (N = 1), or with a corner of fewer than 5 stars, no tilt.
    EXPECT_FALSE(mapOf(lattice(12, 9, [](ShapeStar&) {}), 1).tilt());
    EXPECT_FALSE(mapOf(lattice(12, 9, [](ShapeStar&) {}), 5).tilt());  // 2 × 2 stars a corner
}

TEST(ShapeMap, LargerStarsAtTheEdgeReadAsCurvature) {
    // R = √(3000² + 2000²) / 2 ≈ 1803: the centre within 451, the edge beyond 1352.
    const ShapeMap map = mapOf(lattice(30, 20, [](ShapeStar& s) {
        const double d = std::hypot(s.x - kWidth / 2.0, s.y - kHeight / 2.0);
        s.size = d > 1352 ? 4.0 : 3.0;
    }));
    ASSERT_TRUE(map.curvature());
    EXPECT_DOUBLE_EQ(*map.centreSize(), 3);
    EXPECT_DOUBLE_EQ(*map.edgeSize(), 4);
    EXPECT_DOUBLE_EQ(*map.curvature(), 100 * (4.0 - 3.0) / *map.frame().size);
    EXPECT_EQ(map.readingCodes(), "round+curvature");
    // Smaller at the edge is no curvature to report.
    const ShapeMap smaller = mapOf(lattice(30, 20, [](ShapeStar& s) {
        if (std::hypot(s.x - kWidth / 2.0, s.y - kHeight / 2.0) > 1352) s.size = 2;
    }));
    EXPECT_LT(*smaller.curvature(), 0);
    EXPECT_EQ(smaller.readingCodes(), "round");
}

TEST(ShapeMap, ARegionOfDoublesReadsAsLocal) {
    const ShapeMap map = mapOf(lattice(
        12, 9, [](ShapeStar& s) { s.isDouble = s.x > 2 * kWidth / 3.0 && s.y < kHeight / 3.0; }));
    const ShapeSummary& corner = map.region(3, 1).summary;
    EXPECT_EQ(corner.n, 12);
    EXPECT_EQ(corner.doubles, 12);
    EXPECT_DOUBLE_EQ(*corner.doubleFraction, 1);
    EXPECT_DOUBLE_EQ(*map.frame().doubleFraction, 12.0 / 108);
    EXPECT_EQ(map.readingCodes(), "round+local");
    EXPECT_TRUE(mentions(map.reading()[1], "右上 100%"));
    EXPECT_TRUE(mentions(map.reading()[1], "全体では 11%"));
    EXPECT_FALSE(mentions(map.reading()[1], "左上"));
}

TEST(ShapeMap, RegionsByColumnAndRowWithStarsOutsideCountedInTheFrameOnly) {
    std::vector<ShapeStar> stars(6);
    stars[0].x = 1000;  // N·X / W = 1 exactly: the second column
    stars[0].y = 0;
    stars[1].x = 2999.9;
    stars[1].y = 1999.9;
    stars[2].x = 3000;  // on the right edge: outside
    stars[2].y = 10;
    stars[3].x = -0.1;
    stars[3].y = 10;
    stars[4].x = 10;
    stars[4].y = 2000;
    stars[5].x = std::nan("");
    const ShapeMap map = mapOf(stars);
    EXPECT_EQ(map.frame().n, 6);
    EXPECT_EQ(map.region(2, 1).summary.n, 1);
    EXPECT_EQ(map.region(3, 3).summary.n, 1);
    std::int64_t inRegions = 0;
    for (const ShapeRegion& region : map.regions()) inRegions += region.summary.n;
    EXPECT_EQ(inRegions, 2);
    EXPECT_EQ(map.regions()[1].name, "上");
    EXPECT_EQ(map.regions()[8].name, "右下");
    const ShapeMap four = mapOf(stars, 4);
    EXPECT_EQ(four.regions().size(), 16U);
    EXPECT_EQ(four.regions()[6].name, "列 3・行 2");
    EXPECT_EQ(mapOf(stars, 12).grid(), ShapeMap::kLargestGrid);
}

TEST(ShapeMap, NumbersWithoutStarsOrElongationAreEmpty) {
    const ShapeMap empty(nullptr, kWidth, kHeight);
    EXPECT_EQ(empty.frame().n, 0);
    EXPECT_FALSE(empty.frame().size || empty.frame().elongation || empty.frame().doubleFraction);
    EXPECT_EQ(empty.readingCodes(), "too-few");
    // Round stars: an elongation of 0 and nothing to point anywhere.
    const ShapeMap round = mapOf(lattice(2, 2, [](ShapeStar& s) { s.roundness = 1.2; }));
    EXPECT_DOUBLE_EQ(*round.frame().elongation, 0);
    EXPECT_FALSE(round.frame().direction || round.frame().coherence || round.frame().radial);
}

TEST(ShapeMap, MedianIsTheMiddleOrTheMeanOfTheTwoMiddleValues) {
    std::vector<ShapeStar> stars(4);
    const double sizes[] = {7, 1, 4, 2};
    for (std::size_t k = 0; k < stars.size(); ++k) stars[k].size = sizes[k];
    EXPECT_DOUBLE_EQ(*mapOf(stars).frame().size, 3);
    stars.pop_back();
    EXPECT_DOUBLE_EQ(*mapOf(stars).frame().size, 4);
}

TEST(ShapeCollector, KeepsTheFwhmWhereTheSourceGivesOneAndTheKind) {
    ShapeCollector collector;
    StarRecord star;
    star.x = 10;
    star.y = 20;
    star.size = 6;
    star.angle = 12.5F;
    star.roundness = 0.8;
    collector.onStar(star, {.kind = StarKind::DoubleByOccupancy});
    star.fwhm = 2.5;
    collector.onStar(star, {.kind = StarKind::Single});
    const ShapeStars stars = collector.take();
    ASSERT_EQ(stars->size(), 2U);
    EXPECT_DOUBLE_EQ((*stars)[0].size, 6);
    EXPECT_TRUE((*stars)[0].isDouble);
    EXPECT_DOUBLE_EQ((*stars)[1].size, 2.5);
    EXPECT_FALSE((*stars)[1].isDouble);
    EXPECT_EQ((*stars)[1].angle, 12.5F);
    EXPECT_TRUE(collector.take()->empty());
}

// Past its most the collector holds nothing and hands over nothing, for that run only.
TEST(ShapeCollector, KeepsNothingOfARunPastItsMost) {
    ShapeCollector collector;
    collector.keepAtMost(2);
    StarRecord star;
    for (int k = 0; k < 2; ++k) collector.onStar(star, {});
    ASSERT_EQ(collector.take()->size(), 2U);
    for (int k = 0; k < 3; ++k) collector.onStar(star, {});
    EXPECT_EQ(collector.take(), nullptr);
    collector.onStar(star, {});
    EXPECT_EQ(collector.take()->size(), 1U);
}

}  // namespace
