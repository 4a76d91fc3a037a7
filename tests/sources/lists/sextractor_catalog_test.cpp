#include "sources/lists/sextractor_catalog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "plot/temp_file.h"

namespace {

struct Read {
    std::vector<StarRecord> records;
    StarSource::Status last = StarSource::Status::Fault;
    std::string fault;
    long line = 0;
};

Read readAll(const std::string& content, int sensorHeight = 2596) {
    TempFile file(content, "field.cat");
    SextractorCatalog catalog;
    Read read;
    if (catalog.open(file.path(), sensorHeight).done()) {
        StarRecord record;
        while ((read.last = catalog.next(record)) == StarSource::Status::Record) {
            read.records.push_back(record);
        }
    }
    read.fault = catalog.fault().message;
    read.line = catalog.line();
    return read;
}

// As Source Extractor writes it, with a vector parameter in the middle, the columns in another
// order than the star's items and CR LF line ends; the third object has no FWHM, the fifth
// moments as wide as its window.
const std::string kHeader =
    "#   1 NUMBER                 Running object number\r\n"
    "#   2 X_IMAGE                Object position along x                 [pixel]\r\n"
    "#   3 Y_IMAGE                Object position along y                 [pixel]\r\n"
    "#   4 FLUX_APER              Flux vector within fixed circular aperture(s) [count]\r\n"
    "#   7 FLUX_RADIUS            Fraction-of-light radii                 [pixel]\r\n"
    "#   8 XMIN_IMAGE             Minimum x-coordinate among detected pixels [pixel]\r\n"
    "#   9 YMIN_IMAGE             Minimum y-coordinate among detected pixels [pixel]\r\n"
    "#  10 XMAX_IMAGE             Maximum x-coordinate among detected pixels [pixel]\r\n"
    "#  11 YMAX_IMAGE             Maximum y-coordinate among detected pixels [pixel]\r\n"
    "#  12 X2WIN_IMAGE            Windowed variance along x               [pixel**2]\r\n"
    "#  13 Y2WIN_IMAGE            Windowed variance along y               [pixel**2]\r\n"
    "#  14 XYWIN_IMAGE            Windowed covariance between x and y     [pixel**2]\r\n"
    "#  15 FWHM_IMAGE             FWHM assuming a gaussian core           [pixel]\r\n";
const std::string kRows =
    "         1   2383.6785     27.4183 1 2 3     2.350       2378         21       2390"
    "         33   1.5000000000e+00   1.5000000000e+00   2.5000000000e-01     3.42\r\n"
    "         2   1349.9236   2590.9697 1 2 3     2.350       1346       2586       1354"
    "       2594   1.2000000000e+00   1.0000000000e+00  -1.0000000000e-01     2.07\r\n"
    "         3     10.5000     10.5000 1 2 3     1.000          9          9         12"
    "         12   8.0000000000e-01   7.0000000000e-01   0.0000000000e+00     0.00\r\n"
    "         4    397.3934     24.8598 1 2 3     2.350        394         21        401"
    "         29   1.7500000000e+00   1.2500000000e+00   0.0000000000e+00     2.30\r\n"
    "         5    500.0000    500.0000 1 2 3     2.350        495        495        505"
    "        505   4.0000000000e+00   3.0000000000e+00   0.0000000000e+00     5.00\r\n";

TEST(SextractorCatalog, RowsBecomeRecordsByTheMapping) {
    const Read read = readAll(kHeader + kRows);
    ASSERT_EQ(read.last, StarSource::Status::End) << read.fault;
    ASSERT_EQ(read.records.size(), 3u);
    // Window sigma 2 * 2.35 / 2.35 = 2; windowed axes 1.75 and 1.25 at 45 degrees; the star's
    // own variances 1.75 * 4 / (4 - 1.75) and 1.25 * 4 / (4 - 1.25).
    const double major = std::sqrt(7 / 2.25);
    const double minor = std::sqrt(5 / 2.75);
    const StarRecord& r = read.records[0];
    EXPECT_EQ(r.index, 1);
    EXPECT_NEAR(r.area, 3.141592653589793 * 1.55 * major * 1.55 * minor, 1e-12);
    EXPECT_NEAR(r.area, 17.951, 1e-3);
    EXPECT_EQ(r.x, 2383.6785);
    EXPECT_EQ(r.y, 2597 - 27.4183);
    EXPECT_EQ(r.left, 2378);
    EXPECT_EQ(r.top, 2597 - 33);
    EXPECT_NEAR(r.roundness, 0.764471, 1e-6);
    EXPECT_NEAR(r.extent1, 3.42 / std::sqrt(r.roundness), 1e-12);
    EXPECT_NEAR(r.extent2, 3.42 * std::sqrt(r.roundness), 1e-12);
    EXPECT_NEAR(r.span, 3.1 * major, 1e-12);
    EXPECT_NEAR(r.size, 3.1 * minor, 1e-12);
    EXPECT_NEAR(r.angle, 45.0F, 1e-5F);
    EXPECT_EQ(r.fwhm, 3.42);
    const StarRecord& near = read.records[1];  // near the top edge: small Y
    EXPECT_EQ(near.y, 2597 - 2590.9697);
    EXPECT_EQ(near.top, 3);
    EXPECT_NEAR(near.angle, 157.5F, 1e-4F);  // -22.5 degrees, turned into [0, 180)
    // The object without FWHM is skipped and the numbers run on without a gap; the fifth,
    // wider than its window, is no star either.
    EXPECT_EQ(read.records[2].index, 3);
    EXPECT_EQ(read.records[2].x, 397.3934);
    EXPECT_EQ(read.records[2].angle, 0.0F);
    EXPECT_EQ(readAll(kHeader + kRows, 1000).records[0].y, 1001 - 27.4183);
}

TEST(SextractorCatalog, MissingColumnsAreNamedAll) {
    const Read read = readAll(
        "#   1 NUMBER  Running object number\n"
        "#   2 X_IMAGE Object position along x\n"
        "#   3 Y_IMAGE Object position along y\n"
        "#   4 A_IMAGE\n#   5 B_IMAGE\n#   6 THETA_IMAGE\n"
        "         1   2383.6785     27.4183 1.7 1.7 20.5\n");
    EXPECT_EQ(read.last, StarSource::Status::Fault);
    EXPECT_NE(read.fault.find("カタログ「"), std::string::npos) << read.fault;
    EXPECT_NE(read.fault.find("XMIN_IMAGE, XMAX_IMAGE, YMIN_IMAGE, YMAX_IMAGE, X2WIN_IMAGE, "
                              "Y2WIN_IMAGE, XYWIN_IMAGE, FLUX_RADIUS, FWHM_IMAGE の列がありません"),
              std::string::npos)
        << read.fault;
    EXPECT_NE(read.fault.find(".param"), std::string::npos);
}

TEST(SextractorCatalog, BadRowsStopWithFileAndLine) {
    const std::string row1 = kRows.substr(0, kRows.find('\n') + 1);
    struct Case {
        std::string rows;
        std::string message;
        long line;
    };
    const std::vector<Case> cases = {
        // The last column is missing: the row is short.
        {row1 + "  2 1349.9 26.9 1 2 3 37 1346 23 1354 31 1.278 1.272 55.67\r\n",
         "の 15 行目: 項目が 14 個しかありません（列は 15 個あります）", 15},
        // One item more than the first row.
        {row1 + "\r\n" + row1.substr(0, row1.size() - 2) + " 7\r\n",
         "の 16 行目: 項目が 16 個あり、最初の行の 15 個と違います", 16},
        {"  1 12.5 12.5 1 2 3 5 9 9 12 12 0.8 0.7 abc 2.0\r\n",
         "の 14 行目: XYWIN_IMAGE の「abc」は数値ではありません", 14},
        {"  1 12.5 12.5 1 2 3 5 9 9 12 12 0.8 0.7 " + std::string(5000, '7') + " 2.0\r\n",
         "は長すぎて数値ではありません（4096 バイトまで）", 14},
    };
    for (const Case& c : cases) {
        const Read read = readAll(kHeader + c.rows);
        EXPECT_EQ(read.last, StarSource::Status::Fault) << c.message;
        EXPECT_NE(read.fault.find(c.message), std::string::npos) << read.fault;
        EXPECT_EQ(read.line, c.line) << c.message;
    }
    const Read twice = readAll("#   1 X_IMAGE\n#   2 X_IMAGE\n");
    EXPECT_NE(twice.fault.find("の 2 行目: 列 X_IMAGE が二度あります"), std::string::npos)
        << twice.fault;
    const Read backwards = readAll("#   2 X_IMAGE\n#   1 Y_IMAGE\n");
    EXPECT_NE(backwards.fault.find("の 2 行目: 列の番号「1」"), std::string::npos)
        << backwards.fault;
}

TEST(SextractorCatalog, HeaderWithoutRowsAndCommentsBetweenRowsReadNormally) {
    EXPECT_EQ(readAll(kHeader).last, StarSource::Status::End);
    const Read read = readAll(kHeader + "# a note\n\n" + kRows + "\n   \n");
    EXPECT_EQ(read.last, StarSource::Status::End) << read.fault;
    EXPECT_EQ(read.records.size(), 3u);
}

TEST(SextractorCatalog, KnownByItsFirstLine) {
    EXPECT_TRUE(SextractorCatalog::looksLike("#   1 NUMBER   Running object number"));
    EXPECT_TRUE(SextractorCatalog::looksLike("# 1 X_IMAGE"));
    EXPECT_FALSE(SextractorCatalog::looksLike("#   10 NUMBER"));
    EXPECT_FALSE(SextractorCatalog::looksLike("#1 NUMBER"));
    EXPECT_FALSE(SextractorCatalog::looksLike("M42 sample\r\n1,23.1,1075.41"));
    EXPECT_FALSE(SextractorCatalog::looksLike("#   1 "));
}

}  // namespace
