#include "plot/star_renderer.h"

#include <gtest/gtest.h>

#include "plot/recording_surface.h"

namespace {

using Call = RecordingSurface::Call;

StarRecord star(double x, double y, double size, double roundness) {
    StarRecord s;
    s.x = x;
    s.y = y;
    s.size = size;
    s.roundness = roundness;
    return s;
}

Classification single() {
    return {StarKind::Single, &AreaClass::all()[2]};
}

std::vector<Call> drawn(const StarRecord& s, Classification c, int grey = 0, bool subPixel = true,
                        double sizeScale = 3) {
    RecordingSurface surface;
    const double k = subPixel ? (255 - grey) / 255.0 : 0;
    StarRenderer(surface, {sizeScale, grey, k}).draw(s, c);
    return surface.calls;
}

void expectCircle(const Call& call, double x, double y, double r, int grey) {
    EXPECT_EQ(call.kind, Call::Circle);
    EXPECT_NEAR(call.x, x, 1e-5);
    EXPECT_NEAR(call.y, y, 1e-5);
    EXPECT_FLOAT_EQ(call.r, static_cast<float>(r));
    EXPECT_EQ(call.grey, grey);
}

TEST(StarRenderer, SingleStarWorkedExample) {
    const auto calls = drawn(star(100.25, 200.75, 6, 0.5), single());
    ASSERT_EQ(calls.size(), 4u);
    expectCircle(calls[0], 99.75, 200.25, 2, 250);
    expectCircle(calls[1], 99.75, 201, 1, 188);  // 187.5 rounds to even
    expectCircle(calls[2], 100, 200.25, 1, 62);  // 62.5 rounds to even
    expectCircle(calls[3], 99.75, 200.25, 1, 0);
}

TEST(StarRenderer, GreyLevelScalesTheEdgeShading) {
    const auto calls = drawn(star(100.25, 200.75, 6, 0.5), single(), 100);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].grey, 252);
    EXPECT_EQ(calls[1].grey, 214);
    EXPECT_EQ(calls[2].grey, 138);
    EXPECT_EQ(calls[3].grey, 100);
    for (const Call& c : drawn(star(100.25, 200.75, 6, 0.5), single(), 100, false)) {
        EXPECT_EQ(c.grey, 100);
    }
}

TEST(StarRenderer, DoubleStarByShapeWorkedExample) {
    StarRecord s = star(1000, 500, 6, 0.5);
    s.span = 8;
    s.angle = 45;
    const auto calls = drawn(s, {StarKind::DoubleByShape, &AreaClass::all()[2]});
    ASSERT_EQ(calls.size(), 8u);
    expectCircle(calls[0], 1000.207388, 498.793175, 2, 250);
    expectCircle(calls[1], 1000.207388, 499, 1, 52);
    expectCircle(calls[2], 1001, 498.793175, 1, 198);
    expectCircle(calls[3], 998.792612, 500.206825, 2, 250);
    expectCircle(calls[4], 998.792612, 501, 1, 198);
    expectCircle(calls[5], 999, 500.206825, 1, 52);
    expectCircle(calls[6], 998.792612, 500.206825, 1, 0);  // B's core before A's
    expectCircle(calls[7], 1000.207388, 498.793175, 1, 0);
}

TEST(StarRenderer, CoreIsAPixelOnlyBelowRadiusPointFour) {
    // Size 2 with scale 5 is exactly 0.4: a circle. Size 1.9 is a pixel.
    auto calls = drawn(star(10, 10, 2, 1), single(), 0, true, 5);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, Call::Circle);
    calls = drawn(star(10, 10, 1.9, 1), single(), 0, true, 5);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, Call::Pixel);
    // 1.2 / 3 lies just below 0.4 in double precision.
    calls = drawn(star(10, 10, 1.2, 1), single());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, Call::Pixel);
}

TEST(StarRenderer, EdgeCirclesNeedRadiusOneAndAGreyBelow250) {
    EXPECT_EQ(drawn(star(10, 10, 2.9, 1), single()).size(), 1u);
    EXPECT_EQ(drawn(star(10, 10, 3, 1), single()).size(), 4u);
    EXPECT_EQ(drawn(star(10, 10, 3, 1), single(), 249).size(), 4u);
    EXPECT_EQ(drawn(star(10, 10, 3, 1), single(), 250).size(), 1u);
}

TEST(StarRenderer, LargeStarsUseSizeTimesRoundness) {
    EXPECT_FLOAT_EQ(drawn(star(10, 10, 3, 0.5), single()).back().r, 1.0F);
    EXPECT_FLOAT_EQ(drawn(star(10, 10, 3.3, 0.5), single()).back().r, 0.55F);
}

TEST(StarRenderer, HalfPixelCorrectionLeavesSmallCoordinates) {
    auto calls = drawn(star(1, 1.2, 1, 1), single());
    EXPECT_FLOAT_EQ(calls.back().x, 1.0F);
    EXPECT_FLOAT_EQ(calls.back().y, 0.7F);
    calls = drawn(star(0.8, -3, 1, 1), single());
    EXPECT_FLOAT_EQ(calls.back().x, 0.8F);
    EXPECT_FLOAT_EQ(calls.back().y, -3.0F);
}

TEST(StarRenderer, DoubleStarOrientation) {
    StarRecord s = star(100, 100, 1, 1);
    s.span = 8;
    s.angle = 0;  // components at x +- d
    auto calls = drawn(s, {StarKind::DoubleByOccupancy, &AreaClass::all()[0]});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FLOAT_EQ(calls[1].x, 101.5F);  // A: 100 + 8 / 4, corrected
    EXPECT_FLOAT_EQ(calls[1].y, 99.5F);
    EXPECT_FLOAT_EQ(calls[0].x, 97.5F);
    // 90 degrees is drawn as 89: A lies just right of and above the centre.
    s.angle = 90;
    calls = drawn(s, {StarKind::DoubleByOccupancy, &AreaClass::all()[0]});
    EXPECT_GT(calls[1].x, 99.5F);
    EXPECT_LT(calls[1].x, 99.6F);
    EXPECT_LT(calls[1].y, 97.6F);
    // The shape rule spaces by the class factor: 1 for the smallest class.
    s.angle = 0;
    calls = drawn(s, {StarKind::DoubleByShape, &AreaClass::all()[0]});
    EXPECT_FLOAT_EQ(calls[1].x, 107.5F);
    // No span: both discs at the star's own centre.
    s.span = 0;
    calls = drawn(s, {StarKind::DoubleByShape, &AreaClass::all()[0]});
    EXPECT_FLOAT_EQ(calls[0].x, calls[1].x);
    EXPECT_FLOAT_EQ(calls[0].y, calls[1].y);
}

TEST(StarRenderer, GreyOfRoundsHalvesToEvenAndClamps) {
    EXPECT_EQ(StarRenderer::greyOf(62.5), 62);
    EXPECT_EQ(StarRenderer::greyOf(187.5), 188);
    EXPECT_EQ(StarRenderer::greyOf(-3), 0);
    EXPECT_EQ(StarRenderer::greyOf(300), 255);
}

}  // namespace
