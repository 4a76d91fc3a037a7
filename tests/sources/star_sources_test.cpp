#include "sources/star_sources.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <fstream>
#include <string>
#include <vector>

#include "doublestar/lens_preset.h"
#include "plot/plotting_run.h"
#include "plot/temp_file.h"
#include "raster/raster_surface.h"
#include "sources/lists/star_list.h"
#include "sources/photo/dng_writer.h"
#include "sources/photo/photograph.h"
#include "sources/photo/synthetic_sky.h"

namespace {

using Kind = StarSources::Kind;

const SyntheticSky& sky() {
    static const SyntheticSky sky(128, 128,
                                  {{30.2, 40.6, 3.5, 1.0, 0, 200},
                                   {90.7, 30.1, 5.0, 0.6, 40, 190},
                                   {70.4, 100.8, 4.0, 0.7, 130, 180}});
    return sky;
}

const std::string kCatalog =
    "#   1 NUMBER\n#   2 FLUX_RADIUS\n#   3 X_IMAGE\n#   4 Y_IMAGE\n#   5 XMIN_IMAGE\n"
    "#   6 YMIN_IMAGE\n#   7 XMAX_IMAGE\n#   8 YMAX_IMAGE\n#   9 X2WIN_IMAGE\n#  10 Y2WIN_IMAGE\n"
    "#  11 XYWIN_IMAGE\n#  12 FWHM_IMAGE\n"
    "   1   1.75  30.2  88.4  27  85  33  92  1.1  1.1   0.0  3.3\n";
const std::string kStarList = "P1 frame\r\n1,23.5,100.25,200.75,0,0,6,5,8,7.5,33.25,0.8\r\n";

TEST(StarSources, KindIsTakenFromTheContentNotTheName) {
    TempFile folder("");
    const auto path = [&](const char* name) { return (folder.folder() / name).string(); };
    sky().writeFits(path("fits.txt"), true);
    sky().writeFits(path("gzip.png"), true, "gz");
    sky().writePicture(path("png.txt"), "png");
    sky().writePicture(path("tiff.fits"), "tiff");
    // Each picture format is recognised by its first bytes before Qt is asked.
    for (const char* format : {"jpeg", "bmp", "webp"}) {
        sky().writePicture(path(format), format);
    }
    std::ofstream(path("catalog.fits")) << kCatalog;
    // A star list whose header happens to look like a text picture format (PBM) stays a list.
    std::ofstream(path("list.pbm")) << kStarList;
    EXPECT_EQ(StarSources::kindOf(path("fits.txt")), Kind::Fits);
    EXPECT_EQ(StarSources::kindOf(path("gzip.png")), Kind::Fits);
    EXPECT_EQ(StarSources::kindOf(path("png.txt")), Kind::Picture);
    EXPECT_EQ(StarSources::kindOf(path("tiff.fits")), Kind::Picture);
    for (const char* format : {"jpeg", "bmp", "webp"}) {
        EXPECT_EQ(StarSources::kindOf(path(format)), Kind::Picture) << format;
    }
    EXPECT_EQ(StarSources::kindOf(path("catalog.fits")), Kind::Catalog);
    EXPECT_EQ(StarSources::kindOf(path("list.pbm")), Kind::StarList);
    EXPECT_EQ(StarSources::kindOf(path("missing")), Kind::StarList);
    EXPECT_EQ(StarSources::pictureSize(path("gzip.png")), (PictureSize{128, 128}));
    EXPECT_EQ(StarSources::pictureSize(path("png.txt")), (PictureSize{128, 128}));
    EXPECT_EQ(StarSources::pictureSize(path("catalog.fits")), std::nullopt);
    EXPECT_EQ(StarSources::pictureSize(path("list.pbm")), std::nullopt);
}

// A catalog's picture is the photograph of its name beside it, whichever ending it has; a
// file of that name that is no photograph is passed over.
TEST(StarSources, ACatalogTakesThePlotSizeOfItsPicture) {
    TempFile folder("");
    const auto path = [&](const char* name) { return (folder.folder() / name).string(); };
    std::ofstream(path("field.cat")) << kCatalog;
    std::ofstream(path("alone.cat")) << kCatalog;
    std::ofstream(path("field.fits")) << "not a picture";
    EXPECT_EQ(StarSources::companionPicture(path("field.cat")), "");
    EXPECT_EQ(StarSources::plotSize(path("field.cat")), std::nullopt);
    sky().writePicture(path("field.tif"), "tiff");
    EXPECT_EQ(StarSources::companionPicture(path("field.cat")), path("field.tif"));
    sky().writeFits(path("field.fits.gz"), true, "gz");
    EXPECT_EQ(StarSources::companionPicture(path("field.cat")), path("field.fits.gz"));
    EXPECT_EQ(StarSources::plotSize(path("field.cat")), (PictureSize{128, 128}));
    EXPECT_EQ(StarSources::plotSize(path("alone.cat")), std::nullopt);
    EXPECT_EQ(StarSources::plotSize(path("field.fits.gz")), (PictureSize{128, 128}));
    std::ofstream(path("field.txt")) << kStarList;
    sky().writePicture(path("field.png"), "png");
    EXPECT_EQ(StarSources::plotSize(path("field.txt")), std::nullopt);  // a list brings none
}

PlotRequest request(const std::string& path) {
    PlotRequest r;
    r.controls.width = "128";
    r.controls.height = "128";
    r.thresholds = LensPreset::wideAngle();
    r.starFile = path;
    return r;
}

TEST(StarSources, TheOpenerReadsEveryKindAndFailsAsAStarListOtherwise) {
    TempFile folder("");
    const auto path = [&](const char* name) { return (folder.folder() / name).string(); };
    sky().writeFits(path("sky.fits"), false);
    std::ofstream(path("sky.cat")) << kCatalog;
    std::ofstream(path("stars.txt")) << kStarList;
    const StarSourceOpener open = StarSources::opener();
    RasterSurface surface;
    struct Case {
        const char* name;
        std::int64_t records;
    };
    for (const Case& c : {Case{"sky.fits", 3}, Case{"sky.cat", 1}, Case{"stars.txt", 1}}) {
        const RunResult result = runPlot(request(path(c.name)), open, surface);
        EXPECT_TRUE(result.done()) << c.name << ": " << result.fault().message;
        EXPECT_EQ(result.recordsRead, c.records) << c.name;
    }
    const RunResult missing = runPlot(request(path("none.txt")), open, surface);
    EXPECT_NE(missing.fault().message.find("星のリスト「"), std::string::npos)
        << missing.fault().message;
}

std::string shortest(double value) {
    std::array<char, 32> text{};
    return {text.data(), std::to_chars(text.data(), text.data() + text.size(), value).ptr};
}

TEST(StarSources, DetectedStarsWrittenAsAListPlotExactlyAsThePhotograph) {
    TempFile folder("");
    const std::string photo = (folder.folder() / "sky.fits").string();
    const std::string list = (folder.folder() / "sky.txt").string();
    sky().writeFits(photo, false);
    const Result<std::vector<StarRecord>> detected =
        Photograph::detect(photo, Photograph::Format::Fits, {}, nullptr);
    ASSERT_TRUE(detected.done()) << detected.fault().message;
    const std::vector<StarRecord>& stars = detected.value();
    {
        std::ofstream out(list, std::ios::binary);
        out << stars.size() << "\r\n";
        for (const StarRecord& s : stars) {
            std::string line;
            for (double item : {s.index, s.area, s.x, s.y, s.left, s.top, s.extent1, s.extent2,
                                s.span, s.size, static_cast<double>(s.angle), s.roundness}) {
                line += (line.empty() ? "" : ",") + shortest(item);
            }
            out << line << "\r\n";
        }
    }
    StarList read;
    ASSERT_TRUE(read.open(list).done()) << read.fault().message;
    StarRecord record;
    for (const StarRecord& s : stars) {
        ASSERT_EQ(read.next(record), StarSource::Status::Record);
        EXPECT_EQ(record.area, s.area);
        EXPECT_EQ(record.x, s.x);
        EXPECT_EQ(record.y, s.y);
        EXPECT_EQ(record.left, s.left);
        EXPECT_EQ(record.top, s.top);
        EXPECT_EQ(record.span, s.span);
        EXPECT_EQ(record.size, s.size);
        EXPECT_EQ(record.angle, s.angle);
        EXPECT_EQ(record.roundness, s.roundness);
    }
    RasterSurface fromPhoto;
    RasterSurface fromList;
    const RunResult a = runPlot(request(photo), StarSources::opener(), fromPhoto);
    const RunResult b = runPlot(request(list), StarSources::opener(), fromList);
    ASSERT_TRUE(a.done() && b.done());
    EXPECT_EQ(a.singleCounts, b.singleCounts);
    EXPECT_EQ(a.doubleCounts, b.doubleCounts);
    EXPECT_EQ(a.starsDrawn, b.starsDrawn);
    for (int j = 0; j < 128; ++j) {
        for (int i = 0; i < 128; ++i) ASSERT_EQ(fromPhoto.at(i, j), fromList.at(i, j));
    }
}

}  // namespace

namespace {

// A camera raw file is told by LibRaw (a DNG is a TIFF) or by a raw format's own first bytes,
// before Qt could take a TIFF-based raw for a picture; a plain TIFF and star lists whose headers
// start as raw formats do stay what they are. The run takes the raw's stars and facts.
TEST(StarSources, RawFilesAreToldBeforeTiffPictures) {
    TempFile folder("");
    const auto path = [&](const char* name) { return (folder.folder() / name).string(); };
    ASSERT_TRUE(DngWriter().write(path("frame.tif"), 128, 128,
                                  [](int x, int y, int) { return 15 * sky().at(x, y); }));
    sky().writePicture(path("plain.tif"), "tiff");
    std::ofstream(path("broken.raf"), std::ios::binary)
        << "FUJIFILMCCD-RAW 0201" << std::string(300, '\0');
    std::ofstream(path("orf.txt"))
        << "IIRO field\r\n1,23.5,100.25,200.75,0,0,6,5,8,7.5,33.25,0.8\r\n";
    std::ofstream(path("tiff.txt"))
        << "II* frame\r\n1,23.5,100.25,200.75,0,0,6,5,8,7.5,33.25,0.8\r\n";
    EXPECT_EQ(StarSources::kindOf(path("frame.tif")), Kind::Raw);
    EXPECT_EQ(StarSources::kindOf(path("plain.tif")), Kind::Picture);
    EXPECT_EQ(StarSources::kindOf(path("broken.raf")), Kind::Raw);
    EXPECT_EQ(StarSources::kindOf(path("orf.txt")), Kind::StarList);
    EXPECT_EQ(StarSources::kindOf(path("tiff.txt")), Kind::StarList);
    EXPECT_EQ(StarSources::pictureSize(path("frame.tif")), (PictureSize{128, 128}));
    RasterSurface surface;
    const RunResult result = runPlot(request(path("frame.tif")), StarSources::opener(), surface);
    EXPECT_TRUE(result.done()) << result.fault().message;
    EXPECT_EQ(result.recordsRead, 3);
    EXPECT_EQ(result.facts.camera, "Quendra Test Camera");
    const RunResult broken = runPlot(request(path("broken.raf")), StarSources::opener(), surface);
    EXPECT_NE(broken.fault().message.find("は RAW ファイルとして読めません"), std::string::npos)
        << broken.fault().message;
}

}  // namespace
