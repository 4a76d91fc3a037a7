#include "raster/raster_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// The circle rule pixel by pixel, for comparison with the span filling.
int expectedGrey(int i, int j, float cxf, float cyf, float rf, int outline, int fill, int old) {
    const double cx = cxf;
    const double cy = cyf;
    const double r = rf;
    const double d2 = (i - cx) * (i - cx) + (j - cy) * (j - cy);
    const bool centre = std::floor(cx + 0.5) == i && std::floor(cy + 0.5) == j;
    if (!(d2 <= r * r) && !centre) return old;
    return (r < 1 || std::sqrt(d2) > r - 1) ? outline : fill;
}

TEST(RasterSurface, CirclesMatchThePixelRuleExactly) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> position(-3, 23);
    std::uniform_real_distribution<float> radius(0, 9);
    for (int trial = 0; trial < 3000; ++trial) {
        RasterSurface raster(20, 16);
        raster.setFillGrey(40);
        const float cx = trial % 5 == 0 ? std::round(position(random)) : position(random);
        const float cy = trial % 7 == 0 ? std::round(position(random)) + 0.5F : position(random);
        const float r = trial % 3 == 0 ? std::round(radius(random)) : radius(random);
        raster.drawCircle(cx, cy, r, 200);
        for (int j = 0; j < 16; ++j) {
            for (int i = 0; i < 20; ++i) {
                ASSERT_EQ(raster.at(i, j), expectedGrey(i, j, cx, cy, r, 200, 40, 255))
                    << "pixel " << i << "," << j << " circle " << cx << "," << cy << " r " << r;
            }
        }
    }
}

// A star's marks one after the other by the pixel rule, on a plain copy of the plot.
void paintByTheRule(std::vector<int>& plot, int width, int height, const StarFigure& figure,
                    int fill) {
    for (std::size_t k = 0; k < figure.count; ++k) {
        const StarFigure::Mark& m = figure.marks[k];
        for (int j = 0; j < height; ++j) {
            for (int i = 0; i < width; ++i) {
                const int at = j * width + i;
                int& pixel = plot[static_cast<std::size_t>(at)];
                if (m.pixel) {
                    if (std::floor(m.x + 0.5) == i && std::floor(m.y + 0.5) == j) pixel = m.grey;
                } else {
                    pixel = expectedGrey(i, j, m.x, m.y, m.r, m.grey, fill, pixel);
                }
            }
        }
    }
}

// Stars of every kind the run makes and some it never makes, on a plot that already holds
// something: in one pass over their rows, the very pixels of their marks drawn in turn.
TEST(RasterSurface, StarFiguresMatchTheirMarksDrawnOneByOne) {
    constexpr int kWidth = 37;
    constexpr int kHeight = 29;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> position(-4, 41);
    std::uniform_real_distribution<float> unit(0, 1);
    std::uniform_int_distribution<int> grey(0, 255);
    for (int trial = 0; trial < 4000; ++trial) {
        RasterSurface raster(kWidth, kHeight);
        std::vector<int> expected(static_cast<std::size_t>(kWidth * kHeight));
        for (int j = 0; j < kHeight; ++j) {
            for (int i = 0; i < kWidth; ++i) {
                const int old = (i * 31 + j * 17 + trial) % 256;
                raster.setPixel(static_cast<float>(i), static_cast<float>(j),
                                static_cast<std::uint8_t>(old));
                const int at = j * kWidth + i;
                expected[static_cast<std::size_t>(at)] = old;
            }
        }
        const int fill = grey(random);
        raster.setFillGrey(static_cast<std::uint8_t>(fill));
        StarFigure figure;
        const auto count = static_cast<std::size_t>(1 + trial % StarFigure::kMostMarks);
        // Mostly the small stars of a real list, sometimes larger than the plot.
        const float scale = trial % 10 == 0 ? 40.0F : (trial % 3 == 0 ? 7.0F : 2.5F);
        float x = position(random);
        float y = position(random);
        for (std::size_t k = 0; k < count; ++k) {
            // Circles of a star share centres, rows and columns; some lie on whole pixels.
            if (unit(random) < 0.3F) x = std::floor(x) + 1;
            if (unit(random) < 0.3F) y = std::floor(y) + 1;
            if (unit(random) < 0.2F) x = position(random);
            const int outline = unit(random) < 0.2F ? fill : grey(random);
            if (unit(random) < 0.1F) {
                figure.dot(x, y, static_cast<std::uint8_t>(outline));
            } else {
                const float r =
                    trial % 4 == 0 ? std::round(unit(random) * scale) : unit(random) * scale;
                figure.circle(x, y, r, static_cast<std::uint8_t>(outline));
            }
        }
        raster.drawFigure(figure);
        paintByTheRule(expected, kWidth, kHeight, figure, fill);
        for (int j = 0; j < kHeight; ++j) {
            for (int i = 0; i < kWidth; ++i) {
                const int at = j * kWidth + i;
                ASSERT_EQ(raster.at(i, j), expected[static_cast<std::size_t>(at)])
                    << "trial " << trial << " pixel " << i << "," << j;
            }
        }
    }
}

TEST(RasterSurface, AStarWhollyOffThePlotLeavesItAlone) {
    RasterSurface raster(8, 8);
    StarFigure dots;
    dots.dot(-3, 4, 0);
    dots.dot(4, 9, 0);  // pixel 9: below the last row
    raster.drawFigure(dots);
    StarFigure circles;
    circles.circle(-30, 4, 2, 0);
    circles.circle(4, 40, 2.5F, 0);
    raster.drawFigure(circles);
    for (int j = 0; j < 8; ++j) {
        for (int i = 0; i < 8; ++i) EXPECT_EQ(raster.at(i, j), 255);
    }
}

TEST(RasterSurface, TinyCirclesStillMarkTheCentrePixel) {
    RasterSurface raster(4, 4);
    raster.drawCircle(1.4F, 2.5F, 0, 9);  // 2.5 lies in pixel 3
    EXPECT_EQ(raster.at(1, 3), 9);
    EXPECT_EQ(raster.at(1, 2), 255);
}

TEST(RasterSurface, ClipsAnythingOutside) {
    RasterSurface raster(8, 8);
    raster.drawCircle(-100, 4, 3, 0);
    raster.drawCircle(4, 1e30F, 1e30F, 0);
    raster.drawCircle(INFINITY, NAN, INFINITY, 0);
    raster.setPixel(-0.6F, 3, 0);
    raster.setPixel(7.5F, 3, 0);  // pixel 8: outside
    raster.setPixel(NAN, 3, 0);
    for (int j = 0; j < 8; ++j) {
        for (int i = 0; i < 8; ++i) EXPECT_EQ(raster.at(i, j), 0) << "the huge circle covers all";
    }
    RasterSurface clean(8, 8);
    clean.setPixel(-0.6F, 3, 0);
    clean.setPixel(7.5F, 3, 0);
    clean.drawCircle(-100, 4, 3, 0);
    for (int j = 0; j < 8; ++j) {
        for (int i = 0; i < 8; ++i) EXPECT_EQ(clean.at(i, j), 255);
    }
    clean.setPixel(-0.4F, 7.49F, 0);
    EXPECT_EQ(clean.at(0, 7), 0);
}

TEST(RasterSurface, ResizeKeepsTheTopLeftAndClearWhitens) {
    RasterSurface raster(4, 3);
    raster.setPixel(1, 1, 7);
    raster.setPixel(3, 2, 8);
    ASSERT_TRUE(raster.resize(2, 5));
    EXPECT_EQ(raster.at(1, 1), 7);
    EXPECT_EQ(raster.at(1, 4), 255);
    ASSERT_TRUE(raster.resize(4, 3));
    EXPECT_EQ(raster.at(1, 1), 7);
    EXPECT_EQ(raster.at(3, 2), 255);  // cut off by the narrower size
    raster.clear();
    EXPECT_EQ(raster.at(1, 1), 255);
    EXPECT_EQ(raster.width(), 4);
}

}  // namespace

namespace {

TEST(RasterSurface, RowPaddingStaysZeroWhateverIsDrawn) {
    RasterSurface raster(5, 6);
    ASSERT_EQ(raster.stride(), 8);
    raster.drawCircle(4.9F, 3, 4, 0);
    raster.setPixel(5.4F, 2, 0);
    ASSERT_TRUE(raster.resize(6, 7));
    raster.drawCircle(6, 6, 3, 0);
    const auto paddingIsZero = [&] {
        for (int j = 0; j < raster.height(); ++j) {
            for (int i = raster.width(); i < raster.stride(); ++i) {
                if (raster.pixels()[j * raster.stride() + i] != 0) return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(paddingIsZero());
    EXPECT_EQ(raster.at(5, 6), 0);
    raster.clear();
    EXPECT_TRUE(paddingIsZero());
    EXPECT_EQ(raster.at(5, 6), 255);
}

}  // namespace
