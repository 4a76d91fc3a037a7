#include "plot/classifier.h"

#include <gtest/gtest.h>

#include <cmath>

#include "doublestar/lens_preset.h"

namespace {

// A star far off the centre's direction, so that only the shape and occupancy decide.
StarRecord star(double area, double roundness = 1) {
    StarRecord s;
    s.area = area;
    s.x = 2951;  // right of the centre of a 3902 x 2596 sensor, on its row: radial angle 0
    s.y = 1298;
    s.extent1 = 1;
    s.extent2 = 1;
    s.size = 3;
    s.roundness = roundness;
    s.angle = 45;
    return s;
}

ThresholdTable table(const std::string& circularity, const std::string& areaRatio,
                     const std::string& occupancy, const std::string& correction = "0") {
    ThresholdTable t;
    t.circularity.fill(circularity);
    t.areaRatio.fill(areaRatio);
    t.circleOccupancy.fill(occupancy);
    t.radialAngleCorrection = correction;
    return t;
}

Classifier classifier(const ThresholdTable& t) {
    return Classifier(DoubleStarLimits::from(t), 3902 / 2.0, 2596 / 2.0);
}

TEST(Classifier, AreaClassBoundaries) {
    EXPECT_EQ(AreaClass::find(0)->index, 0);
    EXPECT_EQ(AreaClass::find(9.99)->index, 0);
    EXPECT_EQ(AreaClass::find(10)->index, 1);
    EXPECT_EQ(AreaClass::find(299.5)->index, 6);
    EXPECT_EQ(AreaClass::find(300)->index, 7);
    EXPECT_EQ(AreaClass::find(1e9)->index, 7);
    EXPECT_EQ(AreaClass::find(-0.5), nullptr);
}

TEST(Classifier, RoundnessIsInclusiveAndAreaRatioStrict) {
    // Roundness equal to the limit passes; the area equal to the product fails.
    auto c = classifier(table("0.5", "10", "0"));
    EXPECT_EQ(c.classify(star(5, 0.5)).kind, StarKind::DoubleByShape);  // 5 < 1 * 1 * 10
    EXPECT_EQ(c.classify(star(10, 0.5)).kind, StarKind::Single);        // 10 < 10 fails
    EXPECT_EQ(c.classify(star(5, 0.51)).kind, StarKind::Single);
}

TEST(Classifier, AndNeedsBothTestsOrNeedsOne) {
    ThresholdTable t = table("0.5", "10", "0");
    EXPECT_EQ(classifier(t).classify(star(5, 0.9)).kind, StarKind::Single);
    t.andSelected = false;
    EXPECT_EQ(classifier(t).classify(star(5, 0.9)).kind, StarKind::DoubleByShape);
    EXPECT_EQ(classifier(t).classify(star(50, 0.9)).kind, StarKind::Single);
}

TEST(Classifier, ShapeRuleEndsAtTheTopClassUpperBound) {
    ThresholdTable t = table("1", "1e9", "0");
    EXPECT_EQ(classifier(t).classify(star(19999)).kind, StarKind::DoubleByShape);
    EXPECT_EQ(classifier(t).classify(star(20000)).kind, StarKind::Single);
    // The occupancy rule still applies there: 3.14 * 1 < 20000 * 0.5.
    t.circleOccupancy.fill("0.5");
    EXPECT_EQ(classifier(t).classify(star(20000)).kind, StarKind::DoubleByOccupancy);
}

TEST(Classifier, OccupancyRuleIsStrict) {
    // Size 3 gives a test radius of 1: 3.14 * 1 < area * occupancy.
    auto t = table("0", "0", "0.314");
    EXPECT_EQ(classifier(t).classify(star(10.5)).kind, StarKind::DoubleByOccupancy);
    t.circleOccupancy.fill("0.25");
    EXPECT_EQ(classifier(t).classify(star(12.56)).kind, StarKind::Single);  // 3.14 < 3.14 fails
    EXPECT_EQ(classifier(t).classify(star(12.6)).kind, StarKind::DoubleByOccupancy);
    // Size 6, roundness 0.5 also gives radius 1.
    StarRecord s = star(12.6, 0.5);
    s.size = 6;
    EXPECT_EQ(classifier(t).classify(s).kind, StarKind::DoubleByOccupancy);
}

TEST(Classifier, RadialAngleCorrectionIsStrict) {
    auto c = classifier(table("1", "1e9", "0", "10"));
    StarRecord s = star(5);
    s.angle = 10;  // radial angle 0: offset exactly 10
    EXPECT_EQ(c.classify(s).kind, StarKind::Single);
    s.angle = 10.01F;
    EXPECT_EQ(c.classify(s).kind, StarKind::DoubleByShape);
    s.angle = 0;  // along the radial direction: never double with a correction of 0
    EXPECT_EQ(classifier(table("1", "1e9", "1")).classify(s).kind, StarKind::Single);
}

TEST(Classifier, RadialAngleUsesThreePointOneFour) {
    auto c = classifier(table("0", "0", "0"));
    StarRecord s = star(5);
    s.x = 1951;  // the centre itself: dx becomes 1, dy 0
    s.y = 1298;
    EXPECT_EQ(c.radialAngle(s), 0.0F);
    s.y = 298;  // straight above
    EXPECT_NEAR(c.radialAngle(s), 89.988, 0.001);
    s.y = 2298;  // straight below
    EXPECT_NEAR(c.radialAngle(s), 90.012, 0.001);
    s.x = 2951;  // on the diagonal up and right
    s.y = 298;
    EXPECT_FLOAT_EQ(c.radialAngle(s), static_cast<float>(std::atan(1.0) / 3.14 * 180));
    // Offsets do not wrap: angle 1 against radial 179 gives 178 > 177.
    auto wide = classifier(table("1", "1e9", "0", "177"));
    s.x = 951;
    s.y = 1298 - 1000 * std::tan(1 * 3.14 / 180);
    s.angle = 1;
    EXPECT_NEAR(wide.radialAngle(s), 179, 0.01);
    EXPECT_EQ(wide.classify(s).kind, StarKind::DoubleByShape);
}

TEST(Classifier, InitialTableLeavesOuterClassesSingle) {
    auto c = classifier(LensPreset::initial());
    for (double area : {1.0, 9.0, 250.0, 5000.0}) {
        EXPECT_EQ(c.classify(star(area, 0.1)).kind, StarKind::Single) << area;
    }
}

TEST(Classifier, CountsGoToTheClassSlotAndSinglesStartEmpty) {
    auto c = classifier(table("0.5", "10", "0"));
    c.classify(star(5, 0.5));   // double, class 0
    c.classify(star(15, 0.9));  // single, class 1
    c.classify(star(16, 0.9));
    EXPECT_EQ(c.doubleCounts()[1], 1);
    EXPECT_FALSE(c.singleCounts()[1].has_value());
    EXPECT_EQ(c.singleCounts()[2], 2);
    EXPECT_EQ(c.doubleCounts()[2], 0);
    EXPECT_FALSE(c.singleCounts()[3].has_value());
    const CountTexts texts = CountTexts::of(c.singleCounts(), c.doubleCounts());
    EXPECT_EQ(texts.single[0], "");
    EXPECT_EQ(texts.doubles[0], "1");
    EXPECT_EQ(texts.single[1], "2");
    EXPECT_EQ(texts.doubles[7], "0");
}

TEST(Classifier, UnreadableThresholdsCountAsZero) {
    ThresholdTable t = table("abc", "", "x1");
    t.andSelected = false;
    EXPECT_EQ(classifier(t).classify(star(5, 0.0)).kind, StarKind::DoubleByShape);  // 0 <= 0
    EXPECT_EQ(classifier(t).classify(star(5, 0.1)).kind, StarKind::Single);
}

}  // namespace
