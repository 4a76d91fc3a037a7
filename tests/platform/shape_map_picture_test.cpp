#include "platform/shape_map_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "../shape/shape_fields.h"
#include "platform/offscreen_gui.h"

using namespace shape_fields;

namespace {

class ShapeMapPictureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(OffscreenGui::ensure()); }
};

// A trail with doubles in the top right corner.
ShapeMap trail() {
    return mapOf(lattice(12, 9, [](ShapeStar& s) {
        s.angle = 32;
        s.roundness = 0.6;
        s.isDouble = s.x > 2 * kWidth / 3.0 && s.y < kHeight / 3.0;
    }));
}

template <typename Test>
int pixelsWhere(const QImage& picture, Test test) {
    int n = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) n += test(picture.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

TEST_F(ShapeMapPictureTest, DayPictureHasTheSensorsAspectTheStarsAndTheReading) {
    const ShapeMap map = trail();
    const QImage picture = ShapeMapPicture::render(map, ShapeMapPicture::Look::Day);
    ASSERT_EQ(picture.width(), ShapeMapPicture::kWidth);
    // The sensor 3 : 2 across nearly the whole width, the title, legend and reading around it.
    EXPECT_GT(picture.height(), ShapeMapPicture::kWidth * 2 / 3);
    EXPECT_LT(picture.height(), ShapeMapPicture::kWidth * 2 / 3 + 400);
    // The double stars' whiskers in red, no tint as strong; the regions' bars in near black.
    EXPECT_GT(pixelsWhere(picture, [](QRgb p) { return qRed(p) > 180 && qGreen(p) < 150; }), 100);
    EXPECT_GT(pixelsWhere(picture, [](QRgb p) { return p == qRgb(0x1b, 0x1b, 0x1b); }), 500);

    // A longer reading makes a taller picture; a narrower one keeps its width.
    std::vector<ShapeStar> stars(map.stars().begin(), map.stars().end());
    for (ShapeStar& s : stars) s.size = s.x < 1000 && s.y < 600 ? 6 : 3;
    EXPECT_GT(ShapeMapPicture::render(mapOf(stars), ShapeMapPicture::Look::Day).height(),
              picture.height());
    EXPECT_EQ(ShapeMapPicture::render(map, ShapeMapPicture::Look::Day, 600).width(), 600);
}

TEST_F(ShapeMapPictureTest, NightPictureIsRedOnBlackOnly) {
    const QImage picture = ShapeMapPicture::render(trail(), ShapeMapPicture::Look::Night);
    int red = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            ASSERT_EQ(qGreen(pixel) | qBlue(pixel), 0) << x << ", " << y;
            ASSERT_LE(qRed(pixel), 200) << x << ", " << y;
            red += qRed(pixel) > 100 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 2000);
}

TEST_F(ShapeMapPictureTest, MapWithoutStarsOrSizeOrWithBrokenNumbersStillDraws) {
    const QImage empty =
        ShapeMapPicture::render(ShapeMap(nullptr, 0, 0, 9), ShapeMapPicture::Look::Day);
    EXPECT_EQ(empty.width(), ShapeMapPicture::kWidth);
    EXPECT_GT(empty.height(), 600);
    const double huge = 1e300;
    const double nan = std::nan("");
    std::vector<ShapeStar> stars(3);
    stars[0] = {.x = huge, .y = -huge, .roundness = nan, .size = huge};
    stars[1] = {.x = nan, .y = 10, .roundness = -huge, .size = nan};
    stars[2] = {.x = 10, .y = 10, .angle = std::numeric_limits<float>::infinity()};
    EXPECT_FALSE(ShapeMapPicture::render(mapOf(stars), ShapeMapPicture::Look::Night).isNull());
}

}  // namespace
