#include "cli/headless_plotter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <sstream>

#include "doublestar/threshold_file.h"
#include "plot/temp_file.h"
#include "raster/raster_surface.h"

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome plot(std::vector<std::string> args, const std::string& separator = ".") {
    std::ostringstream out;
    std::ostringstream err;
    const int status = HeadlessPlotter(separator).run(args, out, err);
    return {status, out.str(), err.str()};
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A star list with one single star in the smallest class and, with the initial table, one double
// star by occupancy in class "10-19".
const std::string kStars =
    "test\r\n"
    "1,5,100.25,200.75,0,0,1,1,1,6,0,0.5\r\n"
    "2,15,500,400,0,0,3,3,4,6,30,0.5\r\n";

TEST(HeadlessPlotter, PrintsTheCountTableAsTheWindowShowsIt) {
    TempFile stars(kStars);
    const Outcome o = plot({stars.path()});
    ASSERT_EQ(o.status, HeadlessPlotter::kCompleted) << o.err;
    EXPECT_EQ(o.out,
              "星の面積\t単星数\t重星数\n1-9\t1\t0\n10-19\t\t1\n20-49\t\t0\n50-99\t\t0\n"
              "100-149\t\t0\n150-199\t\t0\n200-299\t\t0\n300-\t\t0\n");
}

TEST(HeadlessPlotter, JsonAndStarRows) {
    TempFile stars(kStars);
    const std::string csv = stars.folder() / "stars.csv";
    const Outcome o = plot({"--json", "--stars", csv, stars.path()});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("{\"label\": \"1-9\", \"single\": 1, \"double\": 0}"), std::string::npos);
    EXPECT_NE(o.out.find("{\"label\": \"10-19\", \"single\": 0, \"double\": 1}"),
              std::string::npos);
    EXPECT_NE(o.out.find("\"records\": 2, \"drawn\": 2"), std::string::npos);
    EXPECT_EQ(slurp(csv),
              "index,area,class,kind,x,y,size,angle,roundness,radial_angle,angle_offset,fwhm\n"
              "1,5,1-9,single,100.25,200.75,6,0,0.5,149.32211,149.32211,\n"
              "2,15,10-19,double-occupancy,500,400,6,30,0.5,148.23122,118.23122,\n");
}

TEST(HeadlessPlotter, WritesTheBitmapAtSensorSize) {
    TempFile stars(kStars);
    const std::string bmp = stars.folder() / "plot.bmp";
    ASSERT_EQ(plot({"--camera", "SSPro", "-o", bmp, stars.path()}).status, 0);
    const std::string bytes = slurp(bmp);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    QImage image(QString::fromStdString(bmp));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 3034);
    EXPECT_EQ(image.height(), 2018);
    EXPECT_EQ(qGray(image.pixel(99, 200)), 0);       // the single star's core
    EXPECT_EQ(qGray(image.pixel(3000, 2000)), 255);  // background
    const std::string png = stars.folder() / "plot.png";
    ASSERT_EQ(plot({"--width", "640", "--height", "480", "-o", png, stars.path()}).status, 0);
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(640, 480));
}

// A field trailed at 32° on a 1200 × 900 plot: 36 single stars on a 6 × 6 grid (area 400) and
// four doubles by shape (area 15), one in each quarter, all of roundness 0.6; and five stars
// stretched across them whose area is above the range, which the map must leave out as the plot
// does.
std::string trailedField() {
    std::string list = "trail\r\n";
    int index = 0;
    const auto add = [&](double area, double x, double y, double extent, double size, double angle,
                         double roundness) {
        std::ostringstream row;
        row << ++index << ',' << area << ',' << x << ',' << y << ",0,0," << extent << ',' << extent
            << ",1," << size << ',' << angle << ',' << roundness << "\r\n";
        list += row.str();
    };
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 6; ++column) {
            add(400, 100 + 200 * column, 75 + 150 * row, 30, 8, 32, 0.6);
        }
    }
    for (const auto& [x, y] : {std::pair{200, 150}, {1000, 150}, {200, 750}, {1000, 750}}) {
        add(15, x, y, 5, 4, 32, 0.6);
    }
    for (int k = 0; k < 5; ++k) add(20000, 150 + 200 * k, 450, 200, 50, 120, 0.1);
    return list;
}

TEST(HeadlessPlotter, TheStarShapeMapOfTheDrawnStars) {
    TempFile stars(trailedField());
    const std::string json = stars.folder() / "map.json";
    const std::string png = stars.folder() / "map.png";
    const Outcome o = plot({"--width", "1200", "--height", "900", "--map-grid", "2", "--map-json",
                            json, "--map", png, stars.path()});
    ASSERT_EQ(o.status, HeadlessPlotter::kCompleted) << o.err;
    const QJsonObject map =
        QJsonDocument::fromJson(QByteArray::fromStdString(slurp(json))).object();
    EXPECT_EQ(map.keys(), QStringList({"frame", "grid", "height", "reading", "regions", "width"}));
    EXPECT_EQ(map["width"].toInt(), 1200);
    EXPECT_EQ(map["height"].toInt(), 900);
    EXPECT_EQ(map["grid"].toInt(), 2);
    const QJsonObject frame = map["frame"].toObject();
    EXPECT_EQ(frame["n"].toInt(), 40);
    EXPECT_EQ(frame["singles"].toInt(), 36);
    EXPECT_EQ(frame["doubles"].toInt(), 4);
    EXPECT_EQ(frame["double_fraction"].toDouble(), 0.1);
    EXPECT_EQ(frame["size"].toDouble(), 8);  // a star list's Size
    EXPECT_EQ(frame["roundness"].toDouble(), 0.6);
    EXPECT_NEAR(frame["elongation"].toDouble(), 0.4, 1e-12);
    EXPECT_NEAR(frame["direction"].toDouble(), 32, 1e-9);
    EXPECT_NEAR(frame["coherence"].toDouble(), 1, 1e-12);
    EXPECT_EQ(frame["tilt"].toDouble(-1), 0);  // every corner's stars alike
    EXPECT_TRUE(frame["curvature"].isNull());  // four stars near the centre are too few
    const QJsonArray regions = map["regions"].toArray();
    ASSERT_EQ(regions.size(), 4);
    for (const QJsonValue region : regions) {
        EXPECT_EQ(region["n"].toInt(), 10);
        EXPECT_EQ(region["doubles"].toInt(), 1);
    }
    EXPECT_EQ(regions[1]["name"].toString(), QStringLiteral("列 2・行 1"));
    const QJsonArray reading = map["reading"].toArray();
    ASSERT_EQ(reading.size(), 1);
    EXPECT_EQ(reading[0]["code"].toString(), QStringLiteral("trailing"));
    EXPECT_TRUE(reading[0]["text"].toString().contains(QStringLiteral("（32°）"))) << slurp(json);

    const QImage picture(QString::fromStdString(png), "PNG");
    EXPECT_EQ(picture.width(), 1200);
    EXPECT_GT(picture.height(), 900);
}

TEST(HeadlessPlotter, OptionsSetTheControlsTexts) {
    TempFile stars(kStars);
    // Above the area range nothing is drawn or counted.
    Outcome o = plot({"--json", "--min", "16", stars.path()});
    EXPECT_NE(o.out.find("\"drawn\": 0"), std::string::npos) << o.out;
    // A correction above the offset leaves the second star single.
    o = plot({"--angle-correction", "120", stars.path()});
    EXPECT_NE(o.out.find("10-19\t1\t0"), std::string::npos) << o.out;
    // The sensor size is read with the user's decimal separator.
    EXPECT_EQ(plot({"--width", "1000,5", stars.path()}, ",").status, 0);
    o = plot({"--width", "1000,5", stars.path()}, ".");
    EXPECT_EQ(o.status, HeadlessPlotter::kStopped);
    EXPECT_NE(o.err.find("横「1000,5」"), std::string::npos);
}

TEST(HeadlessPlotter, ThresholdFileAfterPreset) {
    TempFile stars(kStars);
    ThresholdTable table;
    table.circularity.fill("0");
    table.areaRatio.fill("0");
    table.circleOccupancy.fill("0");
    table.radialAngleCorrection = "0";
    const std::string file = stars.folder() / "detail.txt";
    std::ofstream(file, std::ios::binary) << ThresholdFile::format(table);
    const Outcome o = plot({"--preset", "wide", "--thresholds", file, stars.path()});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("10-19\t1\t0"), std::string::npos) << o.out;
    std::ofstream(file, std::ios::binary) << "1 2 3";
    const Outcome bad = plot({"--thresholds", file, stars.path()});
    EXPECT_EQ(bad.status, HeadlessPlotter::kStopped);
    EXPECT_NE(bad.err.find("detail.txt"), std::string::npos);
}

TEST(HeadlessPlotter, StopsAndUsageErrors) {
    TempFile mismatch("h\n2,5,1,1,0,0,1,1,1,1,0,1\n");
    const std::string image = mismatch.folder() / "never.bmp";
    const std::string map = mismatch.folder() / "never.png";
    const std::string numbers = mismatch.folder() / "never.json";
    Outcome o = plot({"-o", image, "--map", map, "--map-json", numbers, mismatch.path()});
    EXPECT_EQ(o.status, HeadlessPlotter::kStopped);
    EXPECT_EQ(o.err.rfind("データ構造が違います\n", 0), 0u) << o.err;
    EXPECT_NE(o.err.find("レコード 1"), std::string::npos);
    for (const std::string& never : {image, map, numbers}) {
        EXPECT_FALSE(std::ifstream(never).good()) << never;
    }

    EXPECT_EQ(plot({}).status, HeadlessPlotter::kUsage);
    EXPECT_EQ(plot({"--bogus", "x"}).status, HeadlessPlotter::kUsage);
    EXPECT_EQ(plot({"--camera", "Nikon", "x"}).status, HeadlessPlotter::kUsage);
    EXPECT_EQ(plot({"--preset", "macro", "x"}).status, HeadlessPlotter::kUsage);
    EXPECT_EQ(plot({"x", "-o"}).status, HeadlessPlotter::kUsage);
    o = plot({"--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("--thresholds"), std::string::npos);
}

// A watch takes no inputs, appends CSV only, and never writes a frame into the watched folder.
TEST(HeadlessPlotter, WatchUsageErrors) {
    TempFile folder("");
    const std::string dir = folder.folder().string();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--watch", dir, "x.txt"},
          {"--watch", dir, "--summary", dir + "/../night.json"},
          {"--watch", dir, "--json"},
          {"--watch", dir, "-o", dir + "/{name}.png"},
          {"--watch", dir, "--save-list", dir + "/./{name}-all.txt"},
          {"--watch", dir, "-o", "plot.png"},
          {"--watch="}}) {
        const Outcome o = plot(args);
        EXPECT_EQ(o.status, HeadlessPlotter::kUsage) << args.back() << ": " << o.err;
    }
    const Outcome o = plot({"--watch", dir + "/missing"});
    EXPECT_EQ(o.status, HeadlessPlotter::kStopped);
    EXPECT_NE(o.err.find("を読めません"), std::string::npos) << o.err;
}

}  // namespace
