#include "sources/photo/raw_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dng_writer.h"
#include "plot/temp_file.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/photograph.h"
#include "synthetic_sky.h"

namespace {

using Format = Photograph::Format;

// Each colour's response to the same light, as a camera's raw has them: no white balance.
constexpr double kGain[3] = {0.5, 1.0, 0.7};

// 256 x 192 as in the photograph tests, the stars well inside the background meshes.
const SyntheticSky& sky() {
    static const SyntheticSky sky(256, 192,
                                  {{40.3, 50.7, 3.0, 1.0, 0, 200},
                                   {120.6, 40.2, 4.5, 1.0, 0, 180},
                                   {200.2, 60.5, 5.0, 0.6, 30, 200},
                                   {60.8, 140.4, 5.0, 0.6, 120, 190},
                                   {150.5, 120.9, 6.0, 0.5, 75, 170},
                                   {215.7, 160.2, 4.0, 0.7, 160, 160}});
    return sky;
}

GreyImage readRaw(const std::string& path, ThreadBudget* threads = nullptr) {
    GreyImage image;
    const Result<> read = RawPicture::read(path, image, nullptr, threads);
    EXPECT_TRUE(read.done()) << read.fault().message << " " << read.fault().detail;
    return image;
}

// A uniform light of 1000 counts before each colour's gain, on every kind of filter LibRaw
// hands over: the grey picture is flat (no trace of the pattern), the black levels gone, and as
// large as the sensor.
TEST(RawPicture, AFlatLightOfAnyColourComesOutFlatLessItsBlack) {
    struct Case {
        const char* name;
        DngWriter dng;
        double expected;
    };
    DngWriter bayer;  // RGGB, 12 bits, one black level
    DngWriter gbrg;   // 14 bits, a black level per cell of the pattern
    gbrg.pattern = DngWriter::patternOf("GBRG");
    gbrg.bits = 14;
    gbrg.black = {1020, 1024, 1030, 1018};
    gbrg.blackRows = gbrg.blackColumns = 2;
    DngWriter xTrans;
    xTrans.pattern = DngWriter::patternOf(
        "GGRGGB"
        "GGBGGR"
        "BRGRBG"
        "GGBGGR"
        "GGRGGB"
        "RBGBRG");
    xTrans.patternRows = xTrans.patternColumns = 6;
    DngWriter linear;
    linear.linear = true;
    const double bayerMean = (kGain[0] + 2 * kGain[1] + kGain[2]) / 4 * 1000;
    const double xTransMean = (8 * kGain[0] + 20 * kGain[1] + 8 * kGain[2]) / 36 * 1000;
    const double linearMean = (kGain[0] + kGain[1] + kGain[2]) / 3 * 1000;
    TempFile folder("");
    for (const Case& c :
         {Case{"rggb.dng", bayer, bayerMean}, Case{"gbrg.dng", gbrg, bayerMean},
          Case{"xtrans.dng", xTrans, xTransMean}, Case{"linear.dng", linear, linearMean}}) {
        SCOPED_TRACE(c.name);
        const std::string path = (folder.folder() / c.name).string();
        ASSERT_TRUE(
            c.dng.write(path, 60, 42, [](int, int, int colour) { return 1000 * kGain[colour]; }));
        const GreyImage image = readRaw(path);
        ASSERT_EQ(image.width, 60);
        ASSERT_EQ(image.height, 42);
        const auto [low, high] =
            std::minmax_element(image.pixels.get(), image.pixels.get() + image.size());
        EXPECT_NEAR(*low, c.expected, 0.01);
        EXPECT_NEAR(*high, c.expected, 0.01);
        const double highestBlack = *std::max_element(c.dng.black.begin(), c.dng.black.end());
        EXPECT_EQ(image.saturation, ((1 << c.dng.bits) - 1) - highestBlack - 0.5);
        EXPECT_EQ(RawPicture::size(path), (PictureSize{60, 42}));
    }
}

// A picture is kept bottom row first, as every picture is, and the grey rows made on a second
// thread of the budget are the very rows one thread makes.
TEST(RawPicture, RowsRunUpwardOnOneThreadOrTwo) {
    TempFile file("", "rows.dng");
    ASSERT_TRUE(
        DngWriter().write(file.path(), 64, 200, [](int, int y, int) { return 1000 + 10 * y; }));
    const GreyImage one = readRaw(file.path());
    ThreadBudget budget(2);
    const GreyImage two = readRaw(file.path(), &budget);
    ASSERT_EQ(one.size(), two.size());
    EXPECT_TRUE(std::equal(one.pixels.get(), one.pixels.get() + one.size(), two.pixels.get()));
    // Away from the edges the kernel leaves a gradient as it is: the raw's row y is the picture's
    // row 199 - y.
    for (const int y : {2, 60, 150, 197}) {
        EXPECT_FLOAT_EQ(one.pixels[static_cast<std::size_t>(199 - y) * 64 + 30], 1000 + 10 * y)
            << y;
    }
}

}  // namespace

namespace {

// The detected star nearest to (x, y).
const StarRecord& nearest(const std::vector<StarRecord>& stars, double x, double y) {
    return *std::min_element(stars.begin(), stars.end(), [&](const auto& a, const auto& b) {
        return std::hypot(a.x - x, a.y - y) < std::hypot(b.x - x, b.y - y);
    });
}

std::vector<StarRecord> detect(const std::string& path, Format format) {
    Result<std::vector<StarRecord>> found = Photograph::detect(path, format, {}, nullptr);
    EXPECT_TRUE(found.done()) << found.fault().message << " " << found.fault().detail;
    return found.done() ? found.take() : std::vector<StarRecord>{};
}

// The sky of the FITS tests taken by a colour sensor, each colour with its own gain and black
// level. The grey picture is the FITS picture blurred by the 3 x 3 kernel, which adds 0.5 px² to
// each axis' variance: the same stars in the same places, the round ones' FWHM² larger by 4 ln 2,
// the elongated ones a little rounder.
TEST(RawPicture, StarsAreThoseOfTheSameSkyAsFits) {
    TempFile folder("");
    const std::string fits = (folder.folder() / "sky.fits").string();
    sky().writeFits(fits, true);
    const std::vector<StarRecord> reference = detect(fits, Format::Fits);
    ASSERT_EQ(reference.size(), sky().stars().size());
    DngWriter rggb;  // 12 bits
    DngWriter grbg;  // 14 bits, a black level per cell
    grbg.pattern = DngWriter::patternOf("GRBG");
    grbg.bits = 14;
    grbg.black = {1020, 1024, 1030, 1018};
    grbg.blackRows = grbg.blackColumns = 2;
    for (const DngWriter* dng : {&rggb, &grbg}) {
        SCOPED_TRACE(dng->bits);
        const std::string path = (folder.folder() / "sky.dng").string();
        const double scale = dng->bits == 12 ? 15 : 60;
        ASSERT_TRUE(dng->write(path, sky().width(), sky().height(), [&](int x, int y, int c) {
            return scale * kGain[c] * sky().at(x, y);
        }));
        const std::vector<StarRecord> stars = detect(path, Format::Raw);
        ASSERT_EQ(stars.size(), reference.size());
        for (const SyntheticSky::Star& drawn : sky().stars()) {
            const StarRecord& f = nearest(reference, drawn.x, drawn.y);
            const StarRecord& s = nearest(stars, drawn.x, drawn.y);
            EXPECT_NEAR(s.x, f.x, 0.03) << drawn.x;
            EXPECT_NEAR(s.y, f.y, 0.03) << drawn.x;
            if (drawn.ratio == 1) {
                EXPECT_NEAR(s.fwhm * s.fwhm - f.fwhm * f.fwhm, 4 * std::log(2.0), 0.5) << drawn.x;
            } else {
                EXPECT_NEAR(s.angle, f.angle, 1.0) << drawn.x;
                // The record's axes are the core's sigmas (Span and Size are 3.1 of them), each
                // variance 0.5 px² larger.
                const double major = f.span / 3.1;
                const double minor = f.size / 3.1;
                const double blurred = std::sqrt((minor * minor + 0.5) / (major * major + 0.5));
                EXPECT_GE(s.roundness, f.roundness) << drawn.x;
                EXPECT_NEAR(s.roundness, blurred, 0.01) << drawn.x;
            }
        }
    }
}

}  // namespace

namespace {

std::string detectFault(const std::string& path) {
    const Result<std::vector<StarRecord>> found =
        Photograph::detect(path, Format::Raw, {}, nullptr);
    EXPECT_TRUE(found.faulted());
    const std::string& message = found.fault().message;
    EXPECT_NE(message.find("写真「" + path + "」"), std::string::npos) << message;
    return message;
}

TEST(RawPicture, BrokenAndUnknownRawFilesSayWhatIsWrongAndName) {
    TempFile folder("");
    const std::string cut = (folder.folder() / "cut.dng").string();
    ASSERT_TRUE(DngWriter().write(cut, 256, 192, [](int, int, int) { return 100; }));
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) / 2);
    EXPECT_NE(detectFault(cut).find("は壊れているか途中で切れているため、読めません"),
              std::string::npos);
    // A Canon CR3's first bytes before nothing LibRaw can read.
    const std::string junk = (folder.folder() / "junk.cr3").string();
    std::ofstream(junk, std::ios::binary) << std::string(
                                                 "\0\0\0\x18"
                                                 "ftypcrx ",
                                                 12)
                                          << std::string(4000, 'x');
    EXPECT_NE(detectFault(junk).find("は RAW ファイルとして読めません"), std::string::npos);
}

// Counts the reading's progress and stops it at the call it is told to.
class ReadingMonitor : public RunMonitor {
public:
    explicit ReadingMonitor(int stopAt = 0) : stopAt_(stopAt) {}
    bool proceed(std::string_view stage, std::int64_t done, std::int64_t total) override {
        if (stage != PhotoMessages::kReadingStage) return true;
        EXPECT_GE(done, last);
        EXPECT_LE(done, total);
        last = done;
        return ++calls != stopAt_;
    }
    int calls = 0;
    std::int64_t last = 0;

private:
    int stopAt_;
};

// Large enough for the decoding to report too, not only the grey picture's rows.
TEST(RawPicture, ReadingReportsProgressAndStopsWheneverAsked) {
    TempFile file("", "sky.dng");
    ASSERT_TRUE(DngWriter().write(file.path(), 1024, 640,
                                  [](int x, int y, int) { return (x * 7 + y * 3) % 50; }));
    ReadingMonitor watched;
    GreyImage image;
    ASSERT_TRUE(RawPicture::read(file.path(), image, &watched).done());
    ASSERT_GE(watched.calls, 7);
    for (int stop = 1; stop <= watched.calls; ++stop) {
        ReadingMonitor stopping(stop);
        GreyImage stopped;
        EXPECT_TRUE(RawPicture::read(file.path(), stopped, &stopping).cancelled());
        EXPECT_EQ(stopping.calls, stop);
    }
}

// How a frame was taken, from a raw file's EXIF and from a FITS header, kept with its stars.
TEST(RawPicture, TheFrameSaysHowItWasTaken) {
    TempFile folder("");
    const std::string raw = (folder.folder() / "sky.dng").string();
    DngWriter dng;
    dng.make = "Canon";
    dng.model = "Canon EOS 6D";
    dng.exposure = 1.0 / 250;
    ASSERT_TRUE(dng.write(raw, sky().width(), sky().height(),
                          [](int x, int y, int) { return 15 * sky().at(x, y); }));
    const FrameFacts expected{"Canon EOS 6D", 0.004, 1600, "2024-03-05T22:14:07"};
    DetectionCache cache;
    for (int open = 0; open < 2; ++open) {  // read, then from the cache
        const auto source = Photograph::open(raw, Format::Raw, {}, &cache, nullptr);
        ASSERT_TRUE(source.done()) << source.fault().message;
        EXPECT_EQ(source.value()->facts(), expected);
    }
    const std::string fits = (folder.folder() / "sky.fits").string();
    sky().writeFits(fits, true);
    const auto factsOf = [&] {
        const auto source = Photograph::open(fits, Format::Fits, {}, nullptr, nullptr);
        return source.done() ? source.value()->facts() : FrameFacts{"?", {}, {}, {}};
    };
    EXPECT_EQ(factsOf(), FrameFacts{});
    fitsfile* file = nullptr;
    int status = 0;
    fits_open_diskfile(&file, fits.c_str(), READWRITE, &status);
    char instrument[] = "ZWO ASI2600MM Pro";
    char date[] = "2024-03-05T13:14:07.250";
    double exposure = 120;
    double gain = 100;
    fits_update_key(file, TSTRING, "INSTRUME", instrument, nullptr, &status);
    fits_update_key(file, TDOUBLE, "EXPOSURE", &exposure, nullptr, &status);
    fits_update_key(file, TDOUBLE, "GAIN", &gain, nullptr, &status);
    fits_update_key(file, TSTRING, "DATE-OBS", date, nullptr, &status);
    fits_close_file(file, &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(factsOf(), (FrameFacts{instrument, 120, 100, date}));
}

}  // namespace
