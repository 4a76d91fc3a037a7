#include "plot/plotting_run.h"
#include <functional>
#include "plot/run_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "doublestar/lens_preset.h"
#include "plot/recording_surface.h"
#include "plot/temp_file.h"
#include "raster/raster_surface.h"

namespace {

std::string record(int index, double area, double x = 500, double y = 400) {
    return std::to_string(index) + "," + std::to_string(area) + "," + std::to_string(x) + "," +
           std::to_string(y) + ",0,0,3,3,4,6,30,0.5\r\n";
}

PlotRequest controls(const TempFile& file) {
    PlotRequest c;
    c.controls.width = "1000";
    c.controls.height = "800";
    c.starFile = file.path();
    return c;
}

RunResult runOn(DrawingSurface& surface, const PlotRequest& c,
                const ThresholdTable& t = LensPreset::initial()) {
    return runTexts(c, t, surface);
}

TEST(PlottingRun, CompletesWithCountsAndSizesThePlot) {
    TempFile file("hdr\r\n" + record(1, 5) + record(2, 15) + record(3, 400));
    RasterSurface raster;
    const RunResult result = runOn(raster, controls(file));
    ASSERT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(raster.width(), 1000);
    EXPECT_EQ(raster.height(), 800);
    EXPECT_EQ(result.recordsRead, 3);
    EXPECT_EQ(result.starsDrawn, 3);
    EXPECT_EQ(result.countTexts.single[0], "1");
    EXPECT_EQ(result.countTexts.single[7], "1");
    EXPECT_EQ(result.countTexts.single[2], "");
    EXPECT_EQ(result.countTexts.doubles[2], "0");
    EXPECT_LT(raster.at(499, 399), 255);  // the star's core is drawn
}

TEST(PlottingRun, RecordMismatchStopsKeepingWhatWasDrawn) {
    TempFile first("h\n" + record(2, 5));
    RecordingSurface surface;
    RunResult result = runOn(surface, controls(first));
    EXPECT_FALSE(result.done());
    EXPECT_EQ(result.fault().message, "データ構造が違います");
    EXPECT_TRUE(surface.calls.empty());

    // A missing item shifts the next record's index into the roundness: record 2 is read with
    // it and drawn; the check then fails at the following record.
    TempFile shifted("h\n" + record(1, 5) + "2,5,500,400,0,0,3,3,4,6,30\n" + record(3, 5) +
                     record(4, 5));
    RecordingSurface partial;
    result = runOn(partial, controls(shifted));
    EXPECT_FALSE(result.done());
    EXPECT_EQ(result.fault().message, "データ構造が違います");
    EXPECT_NE(result.fault().detail.find("レコード 3"), std::string::npos) << result.fault().detail;
    EXPECT_FALSE(partial.calls.empty());
}

// The stars are checked and laid out on the reading thread and drawn on the run's: a mismatch
// many batches in stops the run with every star before it drawn, as when one thread does all.
TEST(PlottingRun, ReadingAheadDrawsAndStopsAsReadingInline) {
    std::string text = "h\n";
    for (int i = 1; i <= 20000; ++i) {
        text += record(i == 17777 ? 1 : i, 5 + i % 500, 20 + i % 960, 20 + (i * 7) % 760);
    }
    TempFile file(text);
    RasterSurface ahead;
    RasterSurface inlined;
    ThreadBudget threads(1);
    PlotRequest request = controls(file);
    request.thresholds = LensPreset::initial();
    const RunResult a = runPlot(request, StarList::openSource, ahead, {.threads = &threads});
    const RunResult b = runPlot(request, StarList::openSource, inlined);
    EXPECT_FALSE(a.done());
    EXPECT_EQ(a.fault().message, "データ構造が違います");
    EXPECT_EQ(a.fault().detail, b.fault().detail);
    EXPECT_EQ(a.recordsRead, 17777);
    EXPECT_EQ(b.recordsRead, 17777);
    ASSERT_EQ(ahead.stride(), inlined.stride());
    const std::ptrdiff_t bytes = std::ptrdiff_t{ahead.stride()} * ahead.height();
    EXPECT_TRUE(std::equal(ahead.pixels(), ahead.pixels() + bytes, inlined.pixels()));
    EXPECT_LT(ahead.at(20 + 17776 % 960, 20 + (17776 * 7) % 760), 255);  // the last one drawn
}

// Cancels once the run has taken `after` records.
class CancellingMonitor : public RunMonitor {
public:
    explicit CancellingMonitor(std::int64_t after) : after_(after) {}
    bool proceed(std::string_view, std::int64_t done, std::int64_t) override {
        last = done;
        return done < after_;
    }
    std::int64_t last = -1;

private:
    std::int64_t after_;
};

class CountingObserver : public StarObserver {
public:
    void onStar(const StarRecord& star, const Classification&) override {
        ++stars;
        lastIndex = star.index;
    }
    std::int64_t stars = 0;
    double lastIndex = 0;
};

// With the reading thread far ahead, a cancelled run still stops where its own thread was: the
// records it reports taken, every one of them drawn, and none after them.
TEST(PlottingRun, CancellingStopsWhereTheDrawingWas) {
    std::string text = "h\n";
    for (int i = 1; i <= 20000; ++i) text += record(i, 5 + i % 500, 20 + i % 960, 20);
    TempFile file(text);
    ThreadBudget threads(1);
    for (ThreadBudget* budget : {&threads, static_cast<ThreadBudget*>(nullptr)}) {
        RecordingSurface surface;
        CancellingMonitor monitor(5000);
        CountingObserver counter;
        StarObserver* const observers[] = {&counter};
        RunHooks hooks;
        hooks.observers = observers;
        hooks.monitor = &monitor;
        hooks.threads = budget;
        PlotRequest request = controls(file);
        request.thresholds = LensPreset::initial();
        const RunResult result = runPlot(request, StarList::openSource, surface, hooks);
        EXPECT_TRUE(result.cancelled());
        EXPECT_FALSE(result.done());
        EXPECT_TRUE(result.fault().message.empty());
        EXPECT_EQ(result.recordsRead, monitor.last);
        EXPECT_GE(monitor.last, 5000);
        EXPECT_LT(monitor.last, 5100);
        EXPECT_EQ(counter.stars, monitor.last);
        EXPECT_EQ(counter.lastIndex, static_cast<double>(monitor.last));
    }
}

TEST(PlottingRun, AreaRangeIncludesTheLowerAndExcludesTheUpperBound) {
    TempFile file("h\n" + record(1, 10) + record(2, 20) + record(3, 15) + record(4, 12));
    RecordingSurface surface;
    PlotRequest c = controls(file);
    c.controls.areaMin = "10";
    c.controls.areaMax = "20";
    RunResult result = runOn(surface, c);
    ASSERT_TRUE(result.done());
    EXPECT_EQ(result.starsDrawn, 3);  // record 2 skipped, yet records 3 and 4 read in order
    c.controls.areaMin = "20";
    c.controls.areaMax = "20";
    result = runOn(surface, c);
    EXPECT_EQ(result.starsDrawn, 0);
    for (const std::string& text : result.countTexts.single) EXPECT_EQ(text, "");
    for (const std::string& text : result.countTexts.doubles) EXPECT_EQ(text, "0");
}

TEST(PlottingRun, NegativeAreasAreSkipped) {
    TempFile file("h\n" + record(1, -5) + record(2, 5));
    RecordingSurface surface;
    PlotRequest c = controls(file);
    c.controls.areaMin = "-10";
    const RunResult result = runOn(surface, c);
    ASSERT_TRUE(result.done());
    EXPECT_EQ(result.starsDrawn, 1);
    EXPECT_EQ(result.countTexts.single[0], "1");
}

// Stars drawn off a plot too small for them are counted; a pixel beyond the far edges is
// still on it (catalogs and photographs count from 1).
TEST(PlottingRun, CountsTheDrawnStarsOffThePlot) {
    TempFile file("h\n" + record(1, 5, 0, 0) + record(2, 5, 1000.9, 800.9) +
                  record(3, 5, 1001, 400) + record(4, 5, 500, -0.1) + record(5, 5, 5000, 9000) +
                  record(6, 50000, 5000, 9000));
    RecordingSurface surface;
    const RunResult result = runOn(surface, controls(file));
    ASSERT_TRUE(result.done());
    EXPECT_EQ(result.starsDrawn, 5);
    EXPECT_EQ(result.starsOutside, 3);  // the sixth is not drawn: its area is out of range
}

TEST(PlottingRun, AutoClearAndGreyLevel) {
    TempFile file("h\n" + record(1, 5));
    RecordingSurface surface;
    PlotRequest c = controls(file);
    c.controls.grey = "2.5";
    runOn(surface, c);
    EXPECT_EQ(surface.clears, 1);
    EXPECT_EQ(surface.fill, 2);  // halves round to even
    c.controls.grey = "3.5";
    c.controls.autoClear = false;
    runOn(surface, c);
    EXPECT_EQ(surface.clears, 1);
    EXPECT_EQ(surface.fill, 4);
    c.controls.grey = "255";
    runOn(surface, c);
    EXPECT_EQ(surface.fill, 255);
    c.controls.grey = "70000";  // beyond any grey: refused, never wrapped
    EXPECT_FALSE(runOn(surface, c).done());
}

TEST(PlottingRun, SubPixelShadingFollowsCheck1) {
    TempFile file("h\n1,5,100.25,200.75,0,0,1,1,1,6,0,0.5\n");
    RecordingSurface shaded;
    PlotRequest c = controls(file);
    runOn(shaded, c);
    ASSERT_EQ(shaded.calls.size(), 4u);
    EXPECT_EQ(shaded.calls[1].grey, 188);
    RecordingSurface flat;
    c.controls.subPixel = false;
    runOn(flat, c);
    ASSERT_EQ(flat.calls.size(), 4u);
    for (const auto& call : flat.calls) EXPECT_EQ(call.grey, 0);
}

TEST(PlottingRun, UnusableSettingsStopBeforeThePlotChanges) {
    TempFile file("h\n" + record(1, 5));
    const auto set = [](std::string ControlTexts::*field) {
        return [field](PlotRequest& request, const std::string& text) {
            request.controls.*field = text;
        };
    };
    const auto setFile = [](PlotRequest& request, const std::string& text) {
        request.starFile = text;
    };
    const struct {
        std::function<void(PlotRequest&, const std::string&)> apply;
        std::string text;
        std::string expected;
    } cases[] = {
        {set(&ControlTexts::width), "abc",
         "横「abc」は 1 から 32767 までのピクセル数ではありません。"},
        {set(&ControlTexts::width), "", "横「」は"},
        {set(&ControlTexts::height), "0", "縦「0」は"},
        {set(&ControlTexts::height), "32768", "縦「32768」は"},
        {set(&ControlTexts::width), "-5", "横「-5」は"},
        {set(&ControlTexts::starSize), "0", "星の大きさ「0」は 0 より大きい数にしてください。"},
        {set(&ControlTexts::grey), "300", "星の濃度「300」は 0 から 255 までの数に"},
        {set(&ControlTexts::starSize), "", "星の大きさ「」は"},
        {setFile, "", "星のリストが選ばれていません"},
        {setFile, "/nonexistent/m42.txt", "星のリスト「/nonexistent/m42.txt」を開けません"},
    };
    for (const auto& bad : cases) {
        RasterSurface raster(10, 10);
        raster.setPixel(3, 3, 0);
        PlotRequest c = controls(file);
        bad.apply(c, bad.text);
        const RunResult result = runOn(raster, c);
        EXPECT_FALSE(result.done());
        EXPECT_EQ(result.fault().message.rfind(bad.expected, 0), 0u) << result.fault().message;
        EXPECT_EQ(raster.width(), 10);
        EXPECT_EQ(raster.at(3, 3), 0);
    }
}

TEST(PlottingRun, SensorSizeUsesTheUsersDecimalSeparator) {
    TempFile file("h\n");
    RasterSurface raster;
    PlotRequest c = controls(file);
    c.controls.decimalSeparator = ",";
    c.controls.width = " 1000,4 ";
    c.controls.height = "799,5";  // rounds to even: 800
    ASSERT_TRUE(runOn(raster, c).done());
    EXPECT_EQ(raster.width(), 1000);
    EXPECT_EQ(raster.height(), 800);
    c.controls.width = "1000.4";
    EXPECT_FALSE(runOn(raster, c).done());
}

TEST(PlottingRun, EmptyFileStopsHeaderOnlyCompletes) {
    TempFile empty("");
    RasterSurface raster(5, 5);
    RunResult result = runOn(raster, controls(empty));
    EXPECT_FALSE(result.done());
    EXPECT_NE(result.fault().message.find("は空です"), std::string::npos);
    EXPECT_EQ(raster.width(), 5);
    TempFile header("only a header");
    result = runOn(raster, controls(header));
    EXPECT_TRUE(result.done());
    EXPECT_EQ(result.recordsRead, 0);
}

}  // namespace
