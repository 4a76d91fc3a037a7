#include "sources/photo/photograph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "doublestar/lens_preset.h"
#include "plot/plotting_run.h"
#include "plot/temp_file.h"
#include "raster/raster_surface.h"
#include "sources/photo/photo_messages.h"
#include "synthetic_sky.h"

namespace {

using Format = Photograph::Format;

// 256 x 192: whole background meshes, so that a picture stored upside down meets the same ones.
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

using Ending = Result<>::Ending;

struct Detected {
    Ending outcome;
    std::vector<StarRecord> stars;
    Fault fault;
};

Detected detect(const std::string& path, Format format, RunMonitor* monitor = nullptr) {
    Result<std::vector<StarRecord>> found = Photograph::detect(path, format, {}, monitor);
    Detected d{found.ending(), {}, found.fault()};
    if (found.done()) d.stars = found.take();
    return d;
}

// The detected star nearest to (x, y).
const StarRecord& nearest(const std::vector<StarRecord>& stars, double x, double y) {
    return *std::min_element(stars.begin(), stars.end(), [&](const auto& a, const auto& b) {
        return std::hypot(a.x - x, a.y - y) < std::hypot(b.x - x, b.y - y);
    });
}

double axisDifference(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 180.0);
    return std::min(d, 180 - d);
}

void expectSameStars(const std::vector<StarRecord>& a, const std::vector<StarRecord>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].index, b[i].index);
        EXPECT_EQ(a[i].area, b[i].area) << i;
        EXPECT_EQ(a[i].x, b[i].x) << i;
        EXPECT_EQ(a[i].y, b[i].y) << i;
        EXPECT_EQ(a[i].left, b[i].left) << i;
        EXPECT_EQ(a[i].top, b[i].top) << i;
        EXPECT_EQ(a[i].extent1, b[i].extent1) << i;
        EXPECT_EQ(a[i].extent2, b[i].extent2) << i;
        EXPECT_EQ(a[i].span, b[i].span) << i;
        EXPECT_EQ(a[i].size, b[i].size) << i;
        EXPECT_EQ(a[i].angle, b[i].angle) << i;
        EXPECT_EQ(a[i].roundness, b[i].roundness) << i;
        EXPECT_EQ(a[i].fwhm, b[i].fwhm) << i;
    }
}

// Every field of every star against the star as it was drawn: a Gaussian of sigma FWHM / 2.3548
// along its major axis and sigma times the axis ratio across, the record's ellipse 1.55 times
// those.
TEST(Photograph, StarsAreMeasuredWhereAndAsTheyWereDrawn) {
    TempFile file("", "sky.fits");
    sky().writeFits(file.path(), true);
    const Detected d = detect(file.path(), Format::Fits);
    ASSERT_EQ(d.outcome, Ending::Done) << d.fault.message;
    ASSERT_EQ(d.stars.size(), sky().stars().size());
    for (std::size_t i = 0; i < d.stars.size(); ++i) EXPECT_EQ(d.stars[i].index, i + 1.0);
    for (const SyntheticSky::Star& drawn : sky().stars()) {
        SCOPED_TRACE(drawn.x);
        const StarRecord& s = nearest(d.stars, drawn.x, drawn.y);
        EXPECT_NEAR(s.x, drawn.x, 0.05);
        EXPECT_NEAR(s.y, drawn.y, 0.05);
        EXPECT_NEAR(s.roundness, drawn.ratio, 0.03);
        if (drawn.ratio < 1) {
            EXPECT_LT(axisDifference(s.angle, drawn.angle), 2.0);
        }
        EXPECT_GE(s.angle, 0.0F);
        EXPECT_LT(s.angle, 180.0F);
        const double major = drawn.fwhm / 2.3548;
        const double minor = major * drawn.ratio;
        EXPECT_NEAR(s.span, 2 * 1.55 * major, 0.04 * s.span);
        EXPECT_NEAR(s.size, 2 * 1.55 * minor, 0.04 * s.size);
        EXPECT_NEAR(s.area, 3.14159 * 1.55 * major * 1.55 * minor, 0.06 * s.area);
        // Source Extractor's FWHM: a round star's as drawn, less the undersampling correction;
        // the extents are it along the two axes.
        if (drawn.ratio == 1) {
            EXPECT_NEAR(s.fwhm, drawn.fwhm - 1 / (4 * drawn.fwhm), 0.1);
        }
        EXPECT_NEAR(s.extent1 * s.extent2, s.fwhm * s.fwhm, 1e-9);
        EXPECT_NEAR(s.extent2 / s.extent1, s.roundness, 1e-9);
        // Items 5 and 6: the left column and top row of its pixels.
        EXPECT_LE(s.left, s.x - 1.5 * minor);
        EXPECT_LE(s.top, s.y - 1.5 * minor);
    }
}

// Every picture is scanned bottom row first, as Source Extractor scans a FITS file: a picture
// and its FITS file stored upward give the very same list, whatever the order the file keeps
// its rows in.
TEST(Photograph, EveryFormatOfOnePictureGivesTheSameStars) {
    TempFile folder("");
    const auto path = [&](const char* name) { return (folder.folder() / name).string(); };
    sky().writeFits(path("up.fits"), false);
    sky().writeFits(path("down.fits"), true);
    sky().writeFits(path("down.fits.fz"), true, "fz");
    sky().writeFits(path("down.fits.gz"), true, "gz");
    sky().writeColourFits(path("colour.fits"));
    sky().writePicture(path("sky.tif"), "tiff");
    sky().writePicture(path("sky.png"), "png");
    sky().writeColourPicture(path("colour.png"));
    const Detected reference = detect(path("sky.png"), Format::Picture);
    ASSERT_EQ(reference.outcome, Ending::Done) << reference.fault.message;
    ASSERT_EQ(reference.stars.size(), sky().stars().size());
    // On two cores (the rows' second half read, the background's lower half taken off and the
    // objects measured on a thread of the budget) the very stars of one core, to the last bit.
    for (const char* name : {"down.fits", "down.fits.fz"}) {
        SCOPED_TRACE(name);
        ThreadBudget second(1);
        const auto twoCores = Photograph::detect(path(name), Format::Fits, {}, nullptr, &second);
        ASSERT_TRUE(twoCores.done());
        const std::vector<StarRecord> oneCore = detect(path(name), Format::Fits).stars;
        ASSERT_EQ(twoCores.value().size(), oneCore.size());
        for (std::size_t k = 0; k < oneCore.size(); ++k) {
            const StarRecord& a = twoCores.value()[k];
            const StarRecord& b = oneCore[k];
            EXPECT_TRUE(a.x == b.x && a.y == b.y && a.area == b.area && a.size == b.size &&
                        a.angle == b.angle && a.roundness == b.roundness && a.span == b.span &&
                        a.fwhm == b.fwhm)
                << k;
        }
    }
    for (const char* name :
         {"up.fits", "down.fits", "down.fits.fz", "down.fits.gz", "colour.fits"}) {
        SCOPED_TRACE(name);
        expectSameStars(detect(path(name), Format::Fits).stars, reference.stars);
    }
    // Colour channels are averaged; the noise keeps every value above 1.
    for (const char* name : {"sky.tif", "colour.png"}) {
        SCOPED_TRACE(name);
        expectSameStars(detect(path(name), Format::Picture).stars, reference.stars);
    }
}

// Sixteen stars of FWHM 3.5 on a grid: each one round image, or two images 1.2 FWHM apart (the
// second of 0.7 the first's peak) in turning directions.
SyntheticSky gridSky(bool doubled) {
    std::vector<SyntheticSky::Star> stars;
    for (int k = 0; k < 16; ++k) {
        const double x = 40 + 80 * (k % 4) + 0.3 * k;
        const double y = 40 + 80 * (k / 4) + 0.17 * k;
        const double ratio = 0.9 + 0.1 * (k % 3) / 2;
        const double peak = 90 + 8 * k;
        if (!doubled) {
            stars.push_back({x, y, 3.5, ratio, 11.0 * k, peak});
            continue;
        }
        const double turn = 23.0 * k * 3.14159265 / 180;
        const double half = 1.2 * 3.5 / 2;
        stars.push_back(
            {x - half * std::cos(turn), y + half * std::sin(turn), 3.5, ratio, 0, peak});
        stars.push_back(
            {x + half * std::cos(turn), y - half * std::sin(turn), 3.5, ratio, 0, 0.7 * peak});
    }
    return SyntheticSky(320, 320, stars);
}

// The stars of a photograph counted with the startup limits: drawn, and called double.
std::pair<std::int64_t, std::int64_t> counted(const std::string& path) {
    const StarSourceOpener open = [](const std::string& file, const SourceContext& context) {
        return Photograph::open(file, Format::Fits, {}, nullptr, context.monitor);
    };
    PlotRequest request;
    request.controls.width = "320";
    request.controls.height = "320";
    request.thresholds = LensPreset::initial();
    request.starFile = path;
    RasterSurface surface;
    const RunResult result = runPlot(request, open, surface);
    EXPECT_TRUE(result.done()) << result.fault().message;
    std::int64_t doubles = 0;
    for (const std::int64_t n : result.doubleCounts) doubles += n;
    return {result.starsDrawn, doubles};
}

TEST(Photograph, AGoodFrameIsCalledSingleAndADoubledOneDouble) {
    TempFile folder("");
    const std::string good = (folder.folder() / "good.fits").string();
    const std::string doubled = (folder.folder() / "doubled.fits").string();
    gridSky(false).writeFits(good, false);
    gridSky(true).writeFits(doubled, false);
    const auto [goodDrawn, goodDoubles] = counted(good);
    EXPECT_EQ(goodDrawn, 16);
    EXPECT_LE(goodDoubles, 1);
    const auto [doubledDrawn, doubledDoubles] = counted(doubled);
    EXPECT_EQ(doubledDrawn, 16);
    EXPECT_GE(doubledDoubles, 14);
}

// Writes a FITS file by hand: header cards, then the data bytes.
std::string fitsFile(const std::vector<std::string>& cards, std::size_t dataBytes) {
    std::string text;
    for (const std::string& card : cards) text += card + std::string(80 - card.size(), ' ');
    text += "END" + std::string(77, ' ');
    text.resize((text.size() + 2879) / 2880 * 2880, ' ');
    return text + std::string((dataBytes + 2879) / 2880 * 2880, '\0');
}

TEST(Photograph, BadPicturesSayWhatIsWrongAndName) {
    const std::string simple = "SIMPLE  =                    T";
    struct Case {
        std::string content;
        std::string name;
        Format format;
        std::string message;
    };
    std::string truncated =
        fitsFile({simple, "BITPIX  =                   16", "NAXIS   =                    2",
                  "NAXIS1  =                  100", "NAXIS2  =                  100"},
                 20000);
    truncated.resize(truncated.size() - 9000);
    const std::vector<Case> cases = {
        {fitsFile({simple, "BITPIX  =                    8", "NAXIS   =                    0"}, 0),
         "header.fits", Format::Fits, "には読める画像（2 次元の画像か 3 色の画像）がありません"},
        {fitsFile({simple, "BITPIX  =                    8", "NAXIS   =                    2",
                   "NAXIS1  =                40000", "NAXIS2  =                    1"},
                  40000),
         "wide.fits", Format::Fits, "の大きさ（40000 × 1 ピクセル）は扱えません"},
        {fitsFile({simple, "BITPIX  =                    8", "NAXIS   =                    2",
                   "NAXIS1  =                    0", "NAXIS2  =                   10"},
                  0),
         "zero.fits", Format::Fits, "の大きさ（0 × 10 ピクセル）は扱えません"},
        {truncated, "cut.fits", Format::Fits, "は壊れているか途中で切れているため、読めません"},
        {fitsFile({simple, "BITPIX  =                   16", "NAXIS   =                    2",
                   "NAXIS1  =                  100", "NAXIS2  =                  100"},
                  20000),
         "black.fits", Format::Fits, "に星が見つかりません（しきい値は背景のゆらぎの 3 倍"},
    };
    for (const Case& c : cases) {
        TempFile file(c.content, c.name);
        const Detected d = detect(file.path(), c.format);
        EXPECT_EQ(d.outcome, Ending::Fault) << c.name;
        EXPECT_NE(d.fault.message.find("「" + file.path() + "」"), std::string::npos)
            << d.fault.message;
        EXPECT_NE(d.fault.message.find(c.message), std::string::npos) << d.fault.message;
    }
    TempFile png("", "cut.png");
    sky().writePicture(png.path(), "png");
    std::filesystem::resize_file(png.path(), std::filesystem::file_size(png.path()) / 2);
    const Detected cut = detect(png.path(), Format::Picture);
    EXPECT_EQ(cut.outcome, Ending::Fault);
    EXPECT_NE(cut.fault.message.find("は壊れているか途中で切れているため"), std::string::npos)
        << cut.fault.message;
    const Detected missing = detect(png.folder() / "none.fits", Format::Fits);
    EXPECT_NE(missing.fault.message.find("を開けません（ファイルまたはフォルダがありません）"),
              std::string::npos)
        << missing.fault.message;
}

// Says yes until the stage it is told to stop at; remembers what it was told.
class StoppingMonitor : public RunMonitor {
public:
    explicit StoppingMonitor(std::string stopAt = "") : stopAt_(std::move(stopAt)) {}
    bool proceed(std::string_view stage, std::int64_t, std::int64_t) override {
        stages.emplace_back(stage);
        return stage != stopAt_;
    }
    std::vector<std::string> stages;

private:
    std::string stopAt_;
};

TEST(Photograph, TheMonitorSeesEveryStageAndCanCancelEach) {
    TempFile file("", "sky.fits");
    sky().writeFits(file.path(), false);
    for (const char* stage : {PhotoMessages::kReadingStage, PhotoMessages::kDetectingStage}) {
        StoppingMonitor monitor(stage);
        const Detected d = detect(file.path(), Format::Fits, &monitor);
        EXPECT_EQ(d.outcome, Ending::Cancelled) << stage;
        EXPECT_EQ(monitor.stages.back(), stage);
        EXPECT_TRUE(Photograph::open(file.path(), Format::Fits, {}, nullptr, &monitor).cancelled());
    }
}

TEST(Photograph, TheCacheKeepsTheStarsWhileFileAndSettingsStayTheSame) {
    TempFile file("", "sky.fits");
    sky().writeFits(file.path(), true);
    DetectionCache cache;
    const auto open = [&](const DetectionSettings& settings) {
        StoppingMonitor monitor;
        auto source = Photograph::open(file.path(), Format::Fits, settings, &cache, &monitor);
        EXPECT_TRUE(source.done()) << source.fault().message;
        StarRecord record;
        std::size_t stars = 0;
        while (source.value()->next(record) == StarSource::Status::Record) ++stars;
        EXPECT_EQ(stars, sky().stars().size());
        return !monitor.stages.empty();  // read and detected again
    };
    EXPECT_TRUE(open({}));
    EXPECT_FALSE(open({}));
    DetectionSettings other;
    other.minArea = 6;
    EXPECT_TRUE(open(other));
    // Without the filter: detected again, every star still found.
    DetectionSettings unfiltered;
    unfiltered.filter = false;
    EXPECT_TRUE(open(unfiltered));
    EXPECT_TRUE(open({}));
    std::filesystem::last_write_time(
        file.path(), std::filesystem::last_write_time(file.path()) + std::chrono::seconds(5));
    EXPECT_TRUE(open({}));
    EXPECT_FALSE(open({}));
}

TEST(Photograph, SizeComesFromTheHeader) {
    TempFile folder("");
    const auto path = [&](const char* name) { return (folder.folder() / name).string(); };
    sky().writeFits(path("a.fits.fz"), true, "fz");
    sky().writeFits(path("a.fits.gz"), false, "gz");
    sky().writePicture(path("a.png"), "png");
    const PictureSize expected{256, 192};
    EXPECT_EQ(Photograph::size(path("a.fits.fz"), Format::Fits), expected);
    EXPECT_EQ(Photograph::size(path("a.fits.gz"), Format::Fits), expected);
    EXPECT_EQ(Photograph::size(path("a.png"), Format::Picture), expected);
    EXPECT_EQ(Photograph::size(path("a.png"), Format::Fits), std::nullopt);
}

}  // namespace

namespace {

TEST(Photograph, BadDetectionSettingsAreNamed) {
    TempFile file("", "sky.fits");
    sky().writeFits(file.path(), true);
    const auto message = [&](DetectionSettings settings) {
        return Photograph::detect(file.path(), Format::Fits, settings, nullptr).fault().message;
    };
    DetectionSettings s;
    s.threshold = 0;
    EXPECT_EQ(message(s), "検出のしきい値「0」は 0 より大きい数にしてください。");
    s = {};
    s.minArea = 0;
    EXPECT_EQ(message(s), "最小面積「0」は 1 以上のピクセル数にしてください。");
    s = {};
    s.deblendContrast = 2;
    EXPECT_EQ(message(s), "分離のコントラスト「2」は 0 から 1 までの数にしてください。");
    s = {};
    s.backgroundSize = 0;
    EXPECT_EQ(message(s), "背景のメッシュ「0」は 1 から 32767 までのピクセル数にしてください。");
}

}  // namespace
