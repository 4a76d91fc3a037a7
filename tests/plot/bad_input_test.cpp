// The catalogue of bad star lists, settings and threshold files: each gives its message, and
// nothing the user had is lost (the plot is untouched when the run cannot start, the stars before
// a fault stay drawn, a failed load hands back no half table). docs/robustness.md lists them.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "doublestar/lens_preset.h"
#include "doublestar/threshold_file.h"
#include "platform/file_permissions_enforced.h"
#include "plot/plotting_run.h"
#include "plot/recording_surface.h"
#include "plot/run_texts.h"
#include "plot/temp_file.h"
#include "raster/raster_surface.h"

namespace {

using namespace std::string_literals;

constexpr int kWidth = 100;
constexpr int kHeight = 80;
constexpr std::uint8_t kMark = 7;  // a pixel of an earlier plot, to see whether it survives

std::string record(int index, double area = 5, double x = 20, double y = 20) {
    return std::to_string(index) + "," + std::to_string(area) + "," + std::to_string(x) + "," +
           std::to_string(y) + ",0,0,3,3,4,6,30,0.5\r\n";
}

PlotRequest controlsFor(const std::string& path) {
    PlotRequest controls;
    controls.controls.width = std::to_string(kWidth);
    controls.controls.height = std::to_string(kHeight);
    controls.starFile = path;
    return controls;
}

// A plot of the run's size holding one mark from before, far from every star of these tests.
RasterSurface earlierPlot() {
    RasterSurface raster(kWidth, kHeight);
    raster.setPixel(90, 70, kMark);
    return raster;
}

RunResult run(RasterSurface& raster, const PlotRequest& controls) {
    return runTexts(controls, LensPreset::initial(), raster);
}

RunResult runText(RasterSurface& raster, const std::string& content) {
    TempFile file(content);
    return run(raster, controlsFor(file.path()));
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool printable(const std::string& message) {
    for (const char c : message) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    }
    return true;
}

void expectPlotUntouched(const RasterSurface& raster) {
    EXPECT_EQ(raster.width(), kWidth);
    EXPECT_EQ(raster.height(), kHeight);
    EXPECT_EQ(raster.at(90, 70), kMark);
    EXPECT_EQ(raster.at(19, 19), RasterSurface::kWhite);
}

// A run that stopped in the file: the star of record 1 (at 20, 20) stays drawn, no counts.
void expectStoppedAfterFirstStar(const RasterSurface& raster, const RunResult& result) {
    EXPECT_FALSE(result.done());
    EXPECT_EQ(result.recordsRead, 1);
    EXPECT_LT(raster.at(19, 19), RasterSurface::kWhite);
    EXPECT_TRUE(printable(result.fault().message)) << result.fault().message;
}

TEST(BadStarList, EmptyFileStopsBeforeThePlotIsTouched) {
    RasterSurface raster = earlierPlot();
    const RunResult result = runText(raster, "");
    EXPECT_FALSE(result.done());
    EXPECT_TRUE(has(result.fault().message, "」は空です。")) << result.fault().message;
    expectPlotUntouched(raster);
}

TEST(BadStarList, HeaderOnlyIsAListWithoutStars) {
    RasterSurface raster = earlierPlot();
    const RunResult result = runText(raster, "M42 frame 7\r\n\r\n");
    ASSERT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(result.recordsRead, 0);
    for (const std::string& cell : result.countTexts.single) EXPECT_EQ(cell, "");
    for (const std::string& cell : result.countTexts.doubles) EXPECT_EQ(cell, "0");
}

TEST(BadStarList, BinaryBytesAndNulAreShownAsQuestionMarks) {
    RasterSurface raster = earlierPlot();
    const std::string png = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x0f\xff"s;
    RunResult result = runText(raster, png);
    EXPECT_FALSE(result.done());
    EXPECT_TRUE(has(result.fault().message, "「?」は数値ではありません。"))
        << result.fault().message;
    EXPECT_TRUE(printable(result.fault().message));

    raster = earlierPlot();
    result = runText(raster, "h\n" + record(1) + "2,5\0,20,20,0,0,3,3,4,6,30,1\n"s);
    EXPECT_TRUE(has(result.fault().message, "の 3 行目: 「5?」は数値ではありません。"))
        << result.fault().message;
    expectStoppedAfterFirstStar(raster, result);
}

TEST(BadStarList, TenMegabyteLineOfRecordsReadsWhole) {
    std::string line = "h,";
    int records = 0;
    while (line.size() < 10'000'000) {
        ++records;
        line += std::to_string(records) + ",5,20,20,0,0,3,3,4,6,30,0.5,";
    }
    RasterSurface raster = earlierPlot();
    const RunResult result = runText(raster, line + "\n");
    ASSERT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(result.recordsRead, records);
    EXPECT_EQ(result.countTexts.single[0], std::to_string(records));
}

TEST(BadStarList, TenMegabyteItemGivesAShortMessage) {
    RasterSurface raster = earlierPlot();
    const RunResult result =
        runText(raster, "h\n" + record(1) + "2," + std::string(10'000'000, '7') + "\n");
    EXPECT_TRUE(has(result.fault().message, "の 3 行目: 「7777777777"))
        << result.fault().message.substr(0, 200);
    EXPECT_TRUE(
        has(result.fault().message, "…」は長すぎて数値ではありません（4096 バイトまで）。"));
    EXPECT_LT(result.fault().message.size(), 300u);
    expectStoppedAfterFirstStar(raster, result);
}

TEST(BadStarList, NumbersBeyondTheDoubleRangeOrNotDecimal) {
    const struct {
        const char* item;
        const char* message;
    } cases[] = {
        {"1e400", "「1e400」は大きすぎて扱えない数値です。"},
        {"-1e400", "「-1e400」は大きすぎて扱えない数値です。"},
        {"nan", "「nan」は数値ではありません。"},
        {"inf", "「inf」は数値ではありません。"},
        {"0x1F", "「0x1F」は数値ではありません。"},
        {"1.5.2", "「1.5.2」は数値ではありません。"},
    };
    for (const auto& c : cases) {
        RasterSurface raster = earlierPlot();
        const RunResult result =
            runText(raster, "h\n" + record(1) + "2," + c.item + ",20,20,0,0,3,3,4,6,30,1\n");
        EXPECT_TRUE(has(result.fault().message, c.message))
            << c.item << ": " << result.fault().message;
        expectStoppedAfterFirstStar(raster, result);
    }
}

TEST(BadStarList, TinyAndSignedZeroNumbersRead) {
    RasterSurface raster = earlierPlot();
    // -0 is an area of 0 (class "1-9"); 1e-400 is too small for a double and reads as 0.
    const RunResult result = runText(raster,
                                     "h\n1,-0,20,20,0,0,3,3,4,6,30,0.5\n"
                                     "2,1e-400,20,20,0,0,3,3,4,6,30,0.5\n");
    ASSERT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(result.countTexts.single[0], "2");
}

TEST(BadStarList, EmptyItemBetweenTwoCommas) {
    RasterSurface raster = earlierPlot();
    const RunResult result = runText(raster, "h\n" + record(1) + "2,5,,20,0,0,3,3,4,6,30,1\n");
    EXPECT_TRUE(
        has(result.fault().message, "の 3 行目: カンマが続いていて、その間の項目が空です。"))
        << result.fault().message;
    expectStoppedAfterFirstStar(raster, result);
}

TEST(BadStarList, CrOnlyLineEndsAndByteOrderMarkRead) {
    RasterSurface raster = earlierPlot();
    RunResult result = runText(raster,
                               "h\r1,5,20,20,0,0,3,3,4,6,30,0.5\r2,5,40,40,0,0,3,3,4,6,30,"
                               "0.5\r3,x\r");
    // Lines are counted at every CR: the bad item stands on line 4.
    EXPECT_TRUE(has(result.fault().message, "の 4 行目: 「x」は数値ではありません。"))
        << result.fault().message;
    EXPECT_EQ(result.recordsRead, 2);

    result = runText(raster, "\xEF\xBB\xBFM42\r\n" + record(1) + record(2));
    ASSERT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(result.recordsRead, 2);
}

TEST(BadStarList, TruncatedRecordKeepsTheStarsBeforeIt) {
    RasterSurface raster = earlierPlot();
    const RunResult result = runText(raster, "h\n" + record(1) + "2,5,20,20,0");
    EXPECT_TRUE(has(result.fault().message,
                    "はレコード 2（3 行目から）の途中、5 個目の項目の後で終わっています。"))
        << result.fault().message;
    expectStoppedAfterFirstStar(raster, result);
}

TEST(BadStarList, StreamsWithoutSeparatorsStopAtTheItemBound) {
    // A device or a binary file without commas or line ends must not be read to its end: the
    // header is bounded like every item, and NUL bytes are no header at all.
    RasterSurface raster = earlierPlot();
    RunResult result = runText(raster, std::string(20'000, '\0'));
    EXPECT_TRUE(has(result.fault().message,
                    "は星のリストではありません（先頭の項目が文字ではなく NUL です）"))
        << result.fault().message;
    result = runText(raster, std::string(3'000'000, 'x'));
    EXPECT_TRUE(has(result.fault().message, "先頭の項目が 4096 バイトを超えても終わりません"))
        << result.fault().message;
    expectPlotUntouched(raster);
    const RunResult device = run(raster, controlsFor("/dev/zero"));
    EXPECT_FALSE(device.done());
    EXPECT_TRUE(has(device.fault().message, "「/dev/zero」は星のリストではありません"))
        << device.fault().message;
}

TEST(BadStarList, LongValidNumbersReadAndNamesAreShownEscaped) {
    RasterSurface raster = earlierPlot();
    const std::string longOne = std::string(300, '0') + "1";
    const RunResult result = runText(raster, "h\n" + longOne + ",5,20,20,0,0,3,3,4,6,30,0.5\n");
    ASSERT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(result.starsDrawn, 1);

    const RunResult named = run(raster, controlsFor("/nonexistent/\x1b[31mred\x7f\xff.txt"));
    EXPECT_TRUE(
        has(named.fault().message, "「/nonexistent/\\x1b[31mred\\x7f\\xff.txt」を開けません"))
        << named.fault().message;
    EXPECT_TRUE(printable(named.fault().message));
}

TEST(BadStarList, RecordNumberMismatchNamesRecordAndLine) {
    RasterSurface raster = earlierPlot();
    const RunResult result = runText(raster, "h\n" + record(1) + record(3));
    EXPECT_EQ(result.fault().message, PlottingRun::kRecordMismatch);
    EXPECT_TRUE(has(result.fault().detail, "レコード 2（3 行目）")) << result.fault().detail;
    EXPECT_FALSE(result.done());
    EXPECT_LT(raster.at(19, 19), RasterSurface::kWhite);
}

TEST(BadStarList, JapaneseFileNameWithBlanks) {
    TempFile file("h\n" + record(1), "星 の リスト（M42） 1.txt");
    RasterSurface raster = earlierPlot();
    const RunResult result = run(raster, controlsFor(file.path()));
    ASSERT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(result.starsDrawn, 1);
}

TEST(BadStarList, NoneChosen) {
    RasterSurface raster = earlierPlot();
    const RunResult result = run(raster, controlsFor(""));
    EXPECT_EQ(result.fault().message,
              "星のリストが選ばれていません。「解析データ」で選んでください。");
    expectPlotUntouched(raster);
}

TEST(BadStarList, DeletedBetweenChoosingAndDrawing) {
    std::string path;
    {
        TempFile file("h\n" + record(1), "消えた リスト.txt");
        path = file.path();
    }
    RasterSurface raster = earlierPlot();
    const RunResult result = run(raster, controlsFor(path));
    EXPECT_EQ(result.fault().message,
              "星のリスト「" + path + "」を開けません（ファイルまたはフォルダがありません）。");
    expectPlotUntouched(raster);
}

TEST(BadStarList, FolderOrUnreadableFile) {
    TempFile file("h\n" + record(1));
    RasterSurface raster = earlierPlot();
    RunResult result = run(raster, controlsFor(file.folder().string()));
    EXPECT_EQ(result.fault().message, "星のリスト「" + file.folder().string() + "」を読めません。");
    expectPlotUntouched(raster);

    ASSERT_EQ(::chmod(file.path().c_str(), 0), 0);
    const FilePermissionsEnforced enforced;
    if (!enforced.active()) GTEST_SKIP() << "root without the right to drop its file override";
    result = run(raster, controlsFor(file.path()));
    EXPECT_EQ(result.fault().message,
              "星のリスト「" + file.path() + "」を開けません（アクセスする権限がありません）。");
    expectPlotUntouched(raster);
}

TEST(BadSettings, SensorSidesOutsideOneTo32767) {
    TempFile file("h\n" + record(1));
    for (const char* text :
         {"", " ", "abc", "12px", "-5", "0", "0.4", "32768", "1e39", "1e400", "3,902"}) {
        PlotRequest width = controlsFor(file.path());
        width.controls.width = text;
        RasterSurface raster = earlierPlot();
        EXPECT_EQ(
            run(raster, width).fault().message,
            std::string("横「") + text + "」は 1 から 32767 までのピクセル数ではありません。");
        expectPlotUntouched(raster);
        PlotRequest height = controlsFor(file.path());
        height.controls.height = text;
        EXPECT_EQ(
            run(raster, height).fault().message,
            std::string("縦「") + text + "」は 1 から 32767 までのピクセル数ではありません。");
        expectPlotUntouched(raster);
    }
}

// A star size must be more than 0: it divides every radius. Below the bar's left end it still
// plots as any other size (only a warning goes with it); a warning is no refusal.
TEST(BadSettings, StarSizeMustBeMoreThanZero) {
    TempFile file("h\n" + record(1));
    for (const char* text : {"", "abc", "0", "-30", "0.00", "-1e400"}) {
        PlotRequest controls = controlsFor(file.path());
        controls.controls.starSize = text;
        RasterSurface raster = earlierPlot();
        EXPECT_EQ(run(raster, controls).fault().message,
                  std::string("星の大きさ「") + text + "」は 0 より大きい数にしてください。");
        expectPlotUntouched(raster);
        EXPECT_FALSE(PlotSettings::oversizedStars(text)) << text;
    }
    for (const char* text : {"0.01", "0.999", "1", " 1.0", "60", "300"}) {
        PlotRequest controls = controlsFor(file.path());
        controls.controls.starSize = text;
        RasterSurface raster;
        EXPECT_TRUE(run(raster, controls).done()) << text;
    }
    EXPECT_TRUE(PlotSettings::oversizedStars("0.999"));
    EXPECT_TRUE(PlotSettings::oversizedStars("0.2"));
    EXPECT_FALSE(PlotSettings::oversizedStars("1"));
    // A huge size divides every radius down to a single pixel.
    PlotRequest huge = controlsFor(file.path());
    huge.controls.starSize = "1e400";
    RecordingSurface surface;
    ASSERT_TRUE(runTexts(huge, LensPreset::initial(), surface).done());
    ASSERT_EQ(surface.calls.size(), 1u);
    EXPECT_EQ(surface.calls[0].kind, RecordingSurface::Call::Pixel);
}

TEST(BadSettings, AreaBoundsAndGreyAreReadLeniently) {
    TempFile file("h\n" + record(1, 5) + record(2, 5000));
    const auto drawn = [&](const char* low, const char* high) {
        PlotRequest controls = controlsFor(file.path());
        controls.controls.areaMin = low;
        controls.controls.areaMax = high;
        RasterSurface raster;
        const RunResult result = run(raster, controls);
        EXPECT_TRUE(result.done()) << result.fault().message;
        return result.starsDrawn;
    };
    EXPECT_EQ(drawn("abc", "10000"), 2);  // lower bound 0
    EXPECT_EQ(drawn("0", ""), 0);         // upper bound 0: nothing, and no message
    EXPECT_EQ(drawn("-1e400", "1e400"), 2);
    EXPECT_EQ(drawn("1e400", "-5"), 0);

    const struct {
        const char* text;
        int grey;
    } greys[] = {{"abc", 0}, {"nan", 0}, {"-0.4", 0}, {"255.4", 255}, {"", 0}};
    for (const auto& g : greys) {
        PlotRequest controls = controlsFor(file.path());
        controls.controls.grey = g.text;
        RecordingSurface surface;
        ASSERT_TRUE(runTexts(controls, LensPreset::initial(), surface).done());
        EXPECT_EQ(surface.fill, g.grey) << g.text;
    }
}

// A grey outside 0 to 255 is refused before the plot changes: 300 drew white stars on the white
// plot without a word.
TEST(BadSettings, GreyOutsideZeroTo255) {
    TempFile file("h\n" + record(1));
    for (const char* text : {"300", "255.5", "-5", "-0.6", "1e400", "-1e400", "99999999999"}) {
        PlotRequest controls = controlsFor(file.path());
        controls.controls.grey = text;
        RasterSurface raster = earlierPlot();
        EXPECT_EQ(run(raster, controls).fault().message,
                  std::string("星の濃度「") + text +
                      "」は 0 から 255 までの数にしてください（0 が黒、255 が白です）。");
        expectPlotUntouched(raster);
    }
}

TEST(Limits, LargestSensorAllocatesOrFailsWithAMessage) {
    TempFile file("h\n" + record(1, 5, 32760, 32760));
    PlotRequest controls = controlsFor(file.path());
    controls.controls.width = controls.controls.height = "32767";
    RasterSurface raster;
    const RunResult result = run(raster, controls);
    if (result.done()) {
        EXPECT_EQ(raster.width(), 32767);
        EXPECT_LT(raster.at(32759, 32759), RasterSurface::kWhite);
    } else {
        EXPECT_EQ(result.fault().message,
                  "プロットの画像（32767 × 32767 ピクセル）を作るメモリが足りません。");
    }
}

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer ends the program on a failed allocation instead of throwing, by design, and
// its shadow memory does not fit under an address-space limit.
TEST(Limits, DISABLED_LargestSensorWithoutTheMemoryGivesAMessage) {}
#else
TEST(Limits, LargestSensorWithoutTheMemoryGivesAMessage) {
    TempFile file("h\n" + record(1));
    PlotRequest controls = controlsFor(file.path());
    controls.controls.width = controls.controls.height = "32767";
    const auto underLimit = [&] {
        const rlimit limit{512u << 20, 512u << 20};
        ::setrlimit(RLIMIT_AS, &limit);
        RasterSurface raster = earlierPlot();
        const RunResult result = run(raster, controls);
        const bool kept = raster.width() == kWidth && raster.at(90, 70) == kMark;
        std::_Exit(has(result.fault().message, "を作るメモリが足りません。") && kept ? 0 : 1);
    };
    EXPECT_EXIT(underLimit(), ::testing::ExitedWithCode(0), "");
}
#endif

// Writes a star list of `stars` records into a pipe, so that the list never rests on disk.
class StarStream {
public:
    explicit StarStream(int stars) : file_("", "stream.txt") {
        std::signal(SIGPIPE, SIG_IGN);  // a reader that stops early must not end the test
        std::filesystem::remove(file_.path());
        if (::mkfifo(file_.path().c_str(), 0600) != 0) return;
        writer_ = std::thread([this, stars] {
            write(stars);
            done_ = true;
        });
    }
    ~StarStream() {
        if (!writer_.joinable()) return;
        // A run that stopped early leaves the writer waiting for a reader or for room in the pipe.
        const int fd = ::open(file_.path().c_str(), O_RDONLY | O_NONBLOCK);
        std::vector<char> sink(1 << 16);
        while (!done_) {
            if (fd < 0 || ::read(fd, sink.data(), sink.size()) <= 0) std::this_thread::yield();
        }
        writer_.join();
        if (fd >= 0) ::close(fd);
    }
    StarStream(const StarStream&) = delete;
    StarStream& operator=(const StarStream&) = delete;
    const std::string& path() const { return file_.path(); }

private:
    void write(int stars) {
        std::FILE* out = std::fopen(file_.path().c_str(), "wb");
        if (out == nullptr) return;
        std::fputs("ten million stars\r\n", out);
        char line[96];
        for (int i = 1; i <= stars; ++i) {
            char* end = std::to_chars(line, line + 16, i).ptr;
            // Every thousandth star lies in the display range and is drawn.
            const char* rest = i % 1000 == 0 ? ",5,20,20,0,0,3,3,4,6,30,0.5\r\n"
                                             : ",50000,20,20,0,0,3,3,4,6,30,0.5\r\n";
            for (; *rest != '\0'; ++rest) *end++ = *rest;
            if (std::fwrite(line, 1, static_cast<std::size_t>(end - line), out) == 0) break;
        }
        std::fclose(out);
    }

    TempFile file_;
    std::thread writer_;
    std::atomic<bool> done_{false};
};

long peakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(Limits, TenMillionStarsRunInBoundedMemory) {
    constexpr int kStars = 10'000'000;
    RasterSurface raster = earlierPlot();
    const long before = peakKilobytes();
    StarStream stream(kStars);
    const RunResult result = run(raster, controlsFor(stream.path()));
    ASSERT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(result.recordsRead, kStars);
    EXPECT_EQ(result.countTexts.single[0], std::to_string(kStars / 1000));
    // The list is about 350 MB; reading it may not hold more than a small buffer of it.
    EXPECT_LT(peakKilobytes() - before, 32 * 1024);
}

TEST(BadThresholdFile, TruncatedEmptyOrBinary) {
    const std::string nine = ThresholdFile::format(LensPreset::wideAngle());
    Result<ThresholdTable> loaded = ThresholdFile::parse(nine.substr(0, nine.size() / 2));
    EXPECT_FALSE(loaded.done());
    EXPECT_TRUE(has(loaded.fault().message, "個しかありません（26 個必要です）。"))
        << loaded.fault().message;

    loaded = ThresholdFile::parse("");
    EXPECT_EQ(loaded.fault().message, "項目が 0 個しかありません（26 個必要です）。");

    loaded = ThresholdFile::parse("\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s);
    // Control bytes show as "?"; the byte 0x89 is passed on and shown as the replacement mark.
    EXPECT_EQ(loaded.fault().message, "1 番目の項目「\x89PNG」が数値ではありません。");
    EXPECT_FALSE(loaded.done());
}

TEST(BadThresholdFile, ByteOrderMarkAndLeadingBlanksAreNoFields) {
    const std::string nine = ThresholdFile::format(LensPreset::telephoto());
    for (const std::string& text : {"\xEF\xBB\xBF" + nine, std::string(2 << 20, ' ') + nine}) {
        const Result<ThresholdTable> loaded = ThresholdFile::parse(text);
        ASSERT_TRUE(loaded.done()) << loaded.fault().message;
        EXPECT_EQ(ThresholdFile::format(loaded.value()), nine);
    }
}

TEST(BadThresholdFile, WrongFlagOrNonNumberField) {
    std::string fields;
    for (int i = 1; i <= 25; ++i) fields += std::to_string(i) + " ";
    Result<ThresholdTable> loaded = ThresholdFile::parse(fields + "Maybe\r\n");
    EXPECT_EQ(loaded.fault().message,
              "26 番目の項目「Maybe」がTrue、False または数値ではありません。");
    loaded = ThresholdFile::parse(fields + "nan\r\n");
    EXPECT_FALSE(loaded.done());
    loaded = ThresholdFile::parse("1 2 3 4 ５ " + fields + "True");
    EXPECT_EQ(loaded.fault().message, "5 番目の項目「５」が数値ではありません。");
    loaded = ThresholdFile::parse("1 2 1e400 " + fields + "True");
    EXPECT_EQ(loaded.fault().message, "3 番目の項目「1e400」が数値ではありません。");
}

TEST(BadThresholdFile, LongJapaneseFieldIsCutBetweenCharacters) {
    const Result<ThresholdTable> loaded =
        ThresholdFile::parse("1 2 " + std::string(20, 'x') + "閾値閾値閾値閾値閾値閾値閾値 4");
    // 20 letters and 6 characters of 3 bytes make 38 bytes; the seventh would pass 40, so "…" marks
    // the cut.
    EXPECT_EQ(loaded.fault().message,
              "3 番目の項目「" + std::string(20, 'x') + "閾値閾値閾値…」が数値ではありません。");
}

TEST(BadThresholdFile, TenThousandFieldsLoadTheFirst26) {
    std::string text = ThresholdFile::format(LensPreset::telephoto());
    for (int i = 0; i < 10'000 - 26; ++i) text += "garbage,";
    const Result<ThresholdTable> loaded = ThresholdFile::parse(text);
    ASSERT_TRUE(loaded.done()) << loaded.fault().message;
    EXPECT_EQ(ThresholdFile::format(loaded.value()),
              ThresholdFile::format(LensPreset::telephoto()));
}

TEST(BadThresholdFile, HugeCellsSaveAsAFileThatLoadsAgain) {
    ThresholdTable table = LensPreset::initial();
    table.circularity[0] = "1e400";
    table.areaRatio[0] = "-1e400";
    table.radialAngleCorrection = "1.7976931348623157e308";
    const Result<ThresholdTable> loaded = ThresholdFile::parse(ThresholdFile::format(table));
    ASSERT_TRUE(loaded.done()) << loaded.fault().message;
    EXPECT_EQ(loaded.value().circularity[0], "1.79769313486231e+308");
    EXPECT_EQ(loaded.value().areaRatio[0], "-1.79769313486231e+308");
}

}  // namespace
