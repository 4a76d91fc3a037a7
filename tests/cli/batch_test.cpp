#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/headless_plotter.h"
#include "plot/temp_file.h"

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome plot(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = HeadlessPlotter().run(args, out, err);
    return {status, out.str(), err.str()};
}

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// One single star in class 1-9 and, with the initial table, one double by occupancy in 10-19.
const std::string kStars =
    "2\r\n1,5,100.25,200.75,0,0,1,1,1,6,0,0.5\r\n2,15,500,400,0,0,3,3,4,6,30,0.5\r\n";
const std::string kOther = "1\r\n1,60,1000.5,1500.125,0,0,2,2,3,12,45.5,0.75\r\n";
const std::string kMismatch = "h\n2,5,1,1,0,0,1,1,1,1,0,1\n";

// A few lists, one of them bad, in a folder of their own.
class Batch : public ::testing::Test {
protected:
    void SetUp() override {
        put(dir / "a.txt", kStars);
        put(dir / "bad.txt", kMismatch);
        put(dir / "c.txt", kOther);
    }
    std::string at(const std::string& name) const { return (dir / name).string(); }

    TempFile folder{""};
    std::filesystem::path dir = folder.folder();
};

TEST_F(Batch, SummaryRowsInInputOrderAndEachRunAsAloneWithItsOwnFiles) {
    const Outcome o = plot({"-j", "3", "--quiet", "--summary", at("night.csv"), "-o",
                            at("{name}.bmp"), "--stars=" + at("{name}-stars.csv"), "--map-json",
                            at("{name}-map.json"), at("c.txt"), at("bad.txt"), at("a.txt")});
    EXPECT_EQ(o.status, HeadlessPlotter::kStopped);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "");
    const std::string zeros = "0,0,0,0,0,0,0,0";  // four classes
    // The map's numbers as the formulas give them, worked out apart from the program.
    EXPECT_EQ(
        slurp(dir / "night.csv"),
        "file,status,message,records,drawn,single_1-9,double_1-9,single_10-19,"
        "double_10-19,single_20-49,double_20-49,single_50-99,double_50-99,single_100-149,"
        "double_100-149,single_150-199,double_150-199,single_200-299,double_200-299,"
        "single_300-,double_300-,singles,doubles,double_fraction,fwhm,size,roundness,"
        "elongation,direction,coherence,radial,tilt,curvature,reading,camera,exposure,iso,"
        "taken\r\n" +
            at("c.txt") + ",completed,,1,1,0,0,0,0,0,0,1,0," + zeros +
            ",1,0,0,,12,0.75,0.25,45.5,1,0.3908978812071507,,,too-few,,,,\r\n" + at("bad.txt") +
            ",stopped,\"データ構造が違います\nレコード 1（2 行目）の番号が 1 ではありません。\","
            "1,0," +
            zeros + "," + zeros + ",0,0,0,,,,,,,,,,,,,,\r\n" + at("a.txt") +
            ",completed,,2,2,1,0,0,1," + zeros +
            ",0,0,0,0,1,1,0.5,,6,0.5,0.5,15,0.8660254037844386,-0.03608464233327571,,,too-few,,,,"
            "\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.bmp"));
    EXPECT_FALSE(std::filesystem::exists(dir / "bad-stars.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir / "bad-map.json"));

    // Each run of the batch is what the same input alone gives.
    for (const std::string name : {"a", "c"}) {
        const Outcome alone = plot({"-o", at("alone.bmp"), "--stars", at("alone.csv"), "--map-json",
                                    at("alone.json"), at(name + ".txt")});
        ASSERT_EQ(alone.status, 0) << alone.err;
        EXPECT_EQ(slurp(dir / (name + ".bmp")), slurp(dir / "alone.bmp")) << name;
        EXPECT_EQ(slurp(dir / (name + "-stars.csv")), slurp(dir / "alone.csv")) << name;
        EXPECT_EQ(slurp(dir / (name + "-map.json")), slurp(dir / "alone.json")) << name;
    }
}

TEST_F(Batch, ProgressLinesAndTheSummaryOnStandardOutput) {
    const Outcome o = plot({"--json", at("a.txt"), at("bad.txt")});
    EXPECT_EQ(o.status, HeadlessPlotter::kStopped);
    EXPECT_EQ(o.out.rfind("[\n {\"file\": \"" + at("a.txt") + "\", \"status\": \"completed\"", 0),
              0u)
        << o.out;
    EXPECT_NE(o.err.find(" " + at("a.txt") + " 完了 "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(" " + at("bad.txt") + " 中止 "), std::string::npos) << o.err;
}

TEST_F(Batch, NamesThatWouldOverwriteAreUsageErrorsBeforeAnythingIsRead) {
    std::filesystem::create_directory(dir / "other");
    put(dir / "other" / "a.txt", kStars);
    put(dir / "keep.csv", "kept");
    const std::vector<std::vector<std::string>> wrong{
        {"-o", at("plot.bmp"), at("a.txt"), at("c.txt")},          // no {name}
        {"-o", at("{name}.bmp"), at("a.txt"), at("other/a.txt")},  // both write a.bmp
        {"--stars", at("x.csv"), "--regions", at("./x.csv"), at("a.txt")},
        {"--save-list", dir.string() + "/./a.txt", at("a.txt")},  // the input itself
        {"--summary", at("c.txt"), at("a.txt"), at("c.txt")},
        {"--stars", "", at("a.txt")},
        {"--thresholds=", at("a.txt")},
        {"--json=yes", at("a.txt")},
        {"--filter", "box", at("a.txt")},
        {"--map", at("map.png"), at("a.txt"), at("c.txt")},                // no {name}
        {"--map", at("m.png"), "--map-json", at("./m.png"), at("a.txt")},  // one file twice
        {"--map-json", at("a.txt"), at("a.txt")},
        {"--map-grid", "0", at("a.txt")},
        {"--map-grid=10", at("a.txt")},
        {"--map-grid", "2.5", at("a.txt")},
        {""},
    };
    for (const auto& args : wrong) {
        const Outcome o = plot(args);
        EXPECT_EQ(o.status, HeadlessPlotter::kUsage) << args.front() << ' ' << o.err;
        EXPECT_EQ(o.err.rfind("quendra-plot: ", 0), 0u) << o.err;
    }
    EXPECT_EQ(slurp(dir / "a.txt"), kStars);
    EXPECT_EQ(slurp(dir / "c.txt"), kOther);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.csv"));
}

TEST_F(Batch, AStoppedRunKeepsTheOldTable) {
    put(dir / "stars.csv", "old table\n");
    EXPECT_EQ(plot({"--stars", at("stars.csv"), at("bad.txt")}).status, HeadlessPlotter::kStopped);
    EXPECT_EQ(slurp(dir / "stars.csv"), "old table\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

TEST_F(Batch, ASavedListPlotsAsItsSource) {
    // Fractions, an angle that is no short float, whole numbers above 99999.
    put(dir / "odd.txt",
        "x\r\n1,123456,1950.1,1297.3,7,8,9.5,10.25,11.125,3.3,33.3,0.1\r\n"
        "2,7.5,3000.7,20.2,0,0,1,1,2,0.7,179.99,1e-3\r\n");
    Outcome first = plot({"--json", "--save-list", at("saved.txt"), "-o", at("first.bmp"),
                          "--stars", at("first.csv"), at("odd.txt")});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(slurp(dir / "saved.txt"),
              "2\r\n1,123456,1950.1,1297.3,7,8,9.5,10.25,11.125,3.3,33.3,0.1\r\n"
              "2,7.5,3000.7,20.2,0,0,1,1,2,0.7,179.99,0.001\r\n");
    const Outcome again =
        plot({"--json", "-o", at("again.bmp"), "--stars", at("again.csv"), at("saved.txt")});
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(slurp(dir / "again.bmp"), slurp(dir / "first.bmp"));
    EXPECT_EQ(slurp(dir / "again.csv"), slurp(dir / "first.csv"));
}

}  // namespace
