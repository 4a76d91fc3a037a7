#include "sources/photo/star_detector.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "sources/photo/sep_extraction.h"
#include "synthetic_sky.h"

namespace {

GreyImage pictureOf(const SyntheticSky& sky) {
    GreyImage picture;
    picture.width = sky.width();
    picture.height = sky.height();
    picture.pixels.reset(static_cast<float*>(std::malloc(picture.size() * sizeof(float))));
    for (int row = 0; row < sky.height(); ++row) {
        for (int column = 0; column < sky.width(); ++column) {
            picture
                .pixels[static_cast<std::size_t>(sky.height() - 1 - row) * sky.width() + column] =
                static_cast<float>(sky.at(column, row));
        }
    }
    return picture;
}

std::vector<StarRecord> starsOf(const SyntheticSky& sky) {
    GreyImage picture = pictureOf(sky);
    std::vector<StarRecord> stars;
    EXPECT_TRUE(StarDetector({}, nullptr).detect(picture, "sky.fits", stars).done());
    return stars;
}

bool same(const std::vector<StarRecord>& a, const std::vector<StarRecord>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].area != b[i].area ||
            a[i].size != b[i].size || a[i].angle != b[i].angle || a[i].fwhm != b[i].fwhm) {
            return false;
        }
    }
    return true;
}

std::vector<SyntheticSky::Star> field(int columns, int rows, double step) {
    std::vector<SyntheticSky::Star> stars;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            stars.push_back({20.3 + step * i, 20.7 + step * j, 3.0 + 0.2 * ((i + j) % 5),
                             0.6 + 0.1 * (i % 4), 30.0 * j, 120.0 + 10.0 * (i % 7)});
        }
    }
    return stars;
}

}  // namespace

// Pictures of the usual size share SEP's settings and run side by side, while a small one
// (whose pixel stack is its own size) takes the library to itself: every detection must still
// find exactly what it finds alone.
TEST(StarDetector, SideBySideDetectionsFindWhatEachFindsAlone) {
    const SyntheticSky large(640, 480, field(8, 6, 75.0));
    const SyntheticSky small(256, 192, field(5, 4, 45.0));
    const std::vector<StarRecord> largeAlone = starsOf(large);
    const std::vector<StarRecord> smallAlone = starsOf(small);
    ASSERT_EQ(largeAlone.size(), 48U);
    ASSERT_EQ(smallAlone.size(), 20U);
    std::vector<int> agreed(4, 0);
    std::vector<std::thread> threads;
    threads.reserve(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            const SyntheticSky& sky = t % 2 == 0 ? large : small;
            const std::vector<StarRecord>& alone = t % 2 == 0 ? largeAlone : smallAlone;
            for (int round = 0; round < 2; ++round) agreed[t] += same(starsOf(sky), alone) ? 1 : 0;
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(agreed, std::vector<int>(4, 2));
}

// SEP finds a row as an int of bytes from the picture's start: past 2^31 - 1 it would read
// elsewhere and take the process down. Such a picture is refused by name, before any work (the
// zeros here are never touched).
TEST(StarDetector, APictureTooLargeToScanIsRefusedByName) {
    EXPECT_TRUE(SepExtraction::fits(23170, 23170));
    EXPECT_FALSE(SepExtraction::fits(23171, 23171));
    EXPECT_TRUE(SepExtraction::fits(32767, 16385));
    EXPECT_FALSE(SepExtraction::fits(32767, 16386));
    EXPECT_TRUE(SepExtraction::fits(32767, 1));
    GreyImage picture;
    picture.width = 23171;
    picture.height = 23171;
    picture.pixels.reset(static_cast<float*>(std::calloc(picture.size(), sizeof(float))));
    ASSERT_NE(picture.pixels, nullptr);
    std::vector<StarRecord> stars;
    const Result<> found = StarDetector({}, nullptr).detect(picture, "/night/huge.fits", stars);
    ASSERT_EQ(found.ending(), Result<>::Ending::Fault);
    EXPECT_EQ(found.fault().message,
              "写真「/night/huge.fits」（23171 × 23171 ピクセル）は大きすぎて星を検出できません。"
              "星を検出できるのは、横 ×（縦 − 1）が 536870911 ピクセルまでの写真です（正方形なら "
              "23170 × 23170 まで）。");
}
