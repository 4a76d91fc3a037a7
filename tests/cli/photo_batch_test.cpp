#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "cli/headless_plotter.h"
#include "plot/temp_file.h"
#include "sources/photo/dng_writer.h"
#include "sources/photo/synthetic_sky.h"

namespace {

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A photograph among star lists, one of them bad: the photograph's run takes the picture's size
// and its regions fall on the stars in the picture's own pixels.
TEST(PhotoBatch, APhotographAmongListsPlotsAtItsSizeWithRegionsOnItsStars) {
    const SyntheticSky sky(240, 160, {{60, 40, 3.0, 1.0, 0, 180}, {170, 120, 3.5, 0.6, 30, 200}});
    TempFile list("1\r\n1,5,100.25,200.75,0,0,1,1,1,6,0,0.5\r\n", "list.txt");
    const auto dir = list.folder();
    sky.writeFits((dir / "sky.fits").string(), false);
    std::ofstream(dir / "bad.txt") << "h\n2,5,1,1,0,0,1,1,1,1,0,1\n";
    std::ostringstream out;
    std::ostringstream err;
    const int status = HeadlessPlotter().run(
        {"--quiet", "--summary", (dir / "night.json").string(), "-o", (dir / "{name}.png").string(),
         "--regions", (dir / "{name}.reg").string(), "--stars", (dir / "{name}.csv").string(),
         (dir / "sky.fits").string(), list.path(), (dir / "bad.txt").string()},
        out, err);
    EXPECT_EQ(status, HeadlessPlotter::kStopped) << err.str();
    const std::vector<std::string> summary = linesOf((dir / "night.json").string());
    ASSERT_EQ(summary.size(), 5u);
    EXPECT_NE(summary[1].find("sky.fits\", \"status\": \"completed\", \"message\": \"\", "
                              "\"records\": 2, \"drawn\": 2"),
              std::string::npos)
        << summary[1];
    EXPECT_NE(summary[2].find("list.txt\", \"status\": \"completed\""), std::string::npos);
    // The median FWHM of the photograph's two stars, as its star table has them; a star list
    // has none.
    const std::vector<std::string> stars = linesOf((dir / "sky.csv").string());
    ASSERT_EQ(stars.size(), 3u);
    const auto fwhmOf = [](const std::string& row) {
        return std::stod(row.substr(row.rfind(',') + 1));
    };
    const std::size_t fwhm = summary[1].find("\"fwhm\": ");
    ASSERT_NE(fwhm, std::string::npos) << summary[1];
    EXPECT_NEAR(std::stod(summary[1].substr(fwhm + 8)), (fwhmOf(stars[1]) + fwhmOf(stars[2])) / 2,
                1e-12);
    EXPECT_GT(fwhmOf(stars[1]), 2.5);
    // The map's size is the FWHM where the source measures one, a star list's Size otherwise.
    EXPECT_NE(summary[1].find("\"size\": " +
                              summary[1].substr(fwhm + 8, summary[1].find(',', fwhm) - fwhm - 8)),
              std::string::npos)
        << summary[1];
    EXPECT_NE(summary[2].find("\"fwhm\": null, \"size\": 6, \"roundness\": 0.5, "
                              "\"elongation\": 0.5, \"direction\": 0, \"coherence\": 1, "),
              std::string::npos)
        << summary[2];
    EXPECT_NE(summary[3].find("\"fwhm\": null, \"size\": null, "), std::string::npos);
    EXPECT_NE(summary[3].find("\"reading\": null, \"camera\""), std::string::npos) << summary[3];
    EXPECT_NE(
        summary[3].find("bad.txt\", \"status\": \"stopped\", \"message\": \"データ構造が違います"),
        std::string::npos);
    EXPECT_EQ(QImage(QString::fromStdString((dir / "sky.png").string())).size(), QSize(240, 160));

    // Each circle on a star of the picture, in its FITS pixels: x as in the list, y upwards.
    int circles = 0;
    for (const std::string& line : linesOf((dir / "sky.reg").string())) {
        double x = 0, y = 0, r = 0;
        if (std::sscanf(line.c_str(), "circle(%lf,%lf,%lf)", &x, &y, &r) != 3) continue;
        ++circles;
        int onStars = 0;
        for (const SyntheticSky::Star& star : sky.stars()) {
            onStars += std::abs(x - star.x) < 0.05 && std::abs(y - (160 + 1 - star.y)) < 0.05;
        }
        EXPECT_EQ(onStars, 1) << line;
    }
    EXPECT_EQ(circles, 2);
}

// A Source Extractor catalog of one star at (x, y).
std::string catalog(double x, double y) {
    return "#   1 NUMBER\n#   2 FLUX_RADIUS\n#   3 X_IMAGE\n#   4 Y_IMAGE\n#   5 XMIN_IMAGE\n"
           "#   6 YMIN_IMAGE\n#   7 XMAX_IMAGE\n#   8 YMAX_IMAGE\n#   9 X2WIN_IMAGE\n#  10 Y2WIN_IMAGE\n"
           "#  11 XYWIN_IMAGE\n#  12 FWHM_IMAGE\n   1   1.75  " +
           std::to_string(x) + "  " + std::to_string(y) + "  27  85  33  92  1.1  1.1   0.0  3.3\n";
}

// A catalog takes the size of the picture of its name beside it; stars off the plot are told on
// standard error, the counts and the exit status staying as they were.
TEST(PhotoBatch, ACatalogTakesItsPicturesSizeAndStarsOffThePlotAreTold) {
    TempFile field(catalog(300, 150), "field.cat");
    const auto dir = field.folder();
    SyntheticSky(320, 200, {{60, 40, 3.0, 1.0, 0, 180}})
        .writeFits((dir / "field.fits.gz").string(), false, "gz");
    std::ofstream(dir / "far.cat") << catalog(5000, 150);
    const auto run = [](const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = HeadlessPlotter().run(args, out, err);
        return std::make_tuple(status, out.str(), err.str());
    };
    const std::string png = (dir / "field.png").string();
    auto [status, out, err] = run({"-o", png, field.path()});
    EXPECT_EQ(status, HeadlessPlotter::kCompleted) << err;
    EXPECT_EQ(err, "");
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(320, 200));

    const std::string table = std::get<1>(run({field.path()}));
    std::tie(status, out, err) = run({"--width", "200", field.path()});
    EXPECT_EQ(status, HeadlessPlotter::kCompleted);
    EXPECT_EQ(out, table);
    EXPECT_EQ(err,
              "1 個の星が画像の外にあります。--width と --height が、星を測った写真の大きさと"
              "合っているか確かめてください。\n");
    std::tie(status, out, err) = run({"--quiet", field.path(), (dir / "far.cat").string()});
    EXPECT_EQ(status, HeadlessPlotter::kCompleted);
    EXPECT_EQ(err, (dir / "far.cat").string() +
                       ": 1 個の星が画像の外にあります。--width と "
                       "--height が、星を測った写真の大きさと合っているか"
                       "確かめてください。\n");
    // A star size below the bar's plots as given; the warning changes neither counts nor status.
    std::tie(status, out, err) = run({"--size", "0.5", field.path()});
    EXPECT_EQ(status, HeadlessPlotter::kCompleted);
    EXPECT_EQ(out, table);
    EXPECT_EQ(err.rfind("星の大きさ「0.5」は 1 より小さいので", 0), 0u) << err;
}

}  // namespace

namespace {

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PhotoBatch, TheSavedListOfAPhotographPlotsAsThePhotograph) {
    const SyntheticSky sky(
        300, 200,
        {{50, 50, 3.0, 1.0, 0, 150}, {200, 80, 4.0, 0.5, 60, 220}, {120, 170, 2.5, 0.8, 120, 90}});
    TempFile folder("");
    const auto dir = folder.folder();
    sky.writeFits((dir / "sky.fits").string(), true);
    const auto plot = [](const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(HeadlessPlotter().run(args, out, err), 0) << err.str();
        return out.str();
    };
    const std::string fromPhoto =
        plot({"--json", "--threshold=2.5", "--min-area", "4", "--save-list",
              (dir / "s.txt").string(), "-o", (dir / "a.bmp").string(), "--stars",
              (dir / "a.csv").string(), (dir / "sky.fits").string()});
    const std::string fromList =
        plot({"--json", "--width", "300", "--height", "200", "-o", (dir / "b.bmp").string(),
              "--stars", (dir / "b.csv").string(), (dir / "s.txt").string()});
    EXPECT_NE(fromPhoto.find("\"records\": 3"), std::string::npos) << fromPhoto;
    EXPECT_EQ(fromList, fromPhoto);
    EXPECT_EQ(slurp(dir / "b.bmp"), slurp(dir / "a.bmp"));
    // The same rows, but the list keeps its twelve items: no FWHM.
    const std::vector<std::string> photo = linesOf((dir / "a.csv").string());
    const std::vector<std::string> list = linesOf((dir / "b.csv").string());
    ASSERT_EQ(list.size(), photo.size());
    EXPECT_EQ(list[0], photo[0]);
    for (std::size_t i = 1; i < photo.size(); ++i) {
        EXPECT_GT(photo[i].size(), photo[i].rfind(',') + 1) << photo[i];
        EXPECT_EQ(list[i], photo[i].substr(0, photo[i].rfind(',') + 1));
    }
}

}  // namespace

namespace {

// The summary's last columns say how each frame was taken: a raw file from its EXIF, a FITS from
// its header, nothing for a star list (empty in CSV, null in JSON).
TEST(PhotoBatch, TheSummarySaysHowEachFrameWasTaken) {
    const SyntheticSky sky(160, 120, {{60, 40, 3.0, 1.0, 0, 180}, {110, 80, 3.5, 0.6, 30, 200}});
    TempFile list("1\r\n1,5,100.25,200.75,0,0,1,1,1,6,0,0.5\r\n", "list.txt");
    const auto dir = list.folder();
    const std::string raw = (dir / "frame.dng").string();
    const std::string fits = (dir / "frame.fits").string();
    ASSERT_TRUE(
        DngWriter().write(raw, 160, 120, [&](int x, int y, int) { return 15 * sky.at(x, y); }));
    sky.writeFits(fits, false);
    fitsfile* file = nullptr;
    int status = 0;
    fits_open_diskfile(&file, fits.c_str(), READWRITE, &status);
    char instrument[] = "Canon EOS Ra, modified";
    double exposure = 240;
    double iso = 800;
    fits_update_key(file, TSTRING, "INSTRUME", instrument, nullptr, &status);
    fits_update_key(file, TDOUBLE, "EXPTIME", &exposure, nullptr, &status);
    fits_update_key(file, TDOUBLE, "ISOSPEED", &iso, nullptr, &status);
    fits_close_file(file, &status);
    ASSERT_EQ(status, 0);
    for (const char* summary : {"night.csv", "night.json"}) {
        std::ostringstream out;
        std::ostringstream err;
        ASSERT_EQ(HeadlessPlotter().run(
                      {"--quiet", "--summary", (dir / summary).string(), raw, fits, list.path()},
                      out, err),
                  HeadlessPlotter::kCompleted)
            << err.str();
    }
    const std::vector<std::string> csv = linesOf((dir / "night.csv").string());
    ASSERT_EQ(csv.size(), 4u);
    EXPECT_TRUE(
        csv[0].ends_with(",double_fraction,fwhm,size,roundness,elongation,direction,"
                         "coherence,radial,tilt,curvature,reading,camera,exposure,iso,"
                         "taken\r"))
        << csv[0];
    EXPECT_TRUE(csv[1].ends_with(",Quendra Test Camera,30,1600,2024-03-05T22:14:07\r")) << csv[1];
    EXPECT_TRUE(csv[2].ends_with(",\"Canon EOS Ra, modified\",240,800,\r")) << csv[2];
    EXPECT_TRUE(csv[3].ends_with(",,,,\r")) << csv[3];
    const std::vector<std::string> json = linesOf((dir / "night.json").string());
    ASSERT_EQ(json.size(), 5u);
    EXPECT_TRUE(
        json[1].ends_with("\"camera\": \"Quendra Test Camera\", \"exposure\": 30, "
                          "\"iso\": 1600, \"taken\": \"2024-03-05T22:14:07\"},"))
        << json[1];
    EXPECT_TRUE(
        json[3].ends_with("\"camera\": \"\", \"exposure\": null, \"iso\": null, "
                          "\"taken\": \"\"}"))
        << json[3];
}

}  // namespace
