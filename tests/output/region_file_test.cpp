#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/headless_plotter.h"
#include "plot/temp_file.h"

namespace {

TEST(RegionFile, ACirclePerDrawnStarOnThePicturesPixelsInItsKindsColour) {
    // A single star, a double by occupancy and a double by shape.
    TempFile stars(
        "3\r\n1,5,100.25,200.75,0,0,1,1,1,6,0,0.5\r\n2,15,500,400,0,0,3,3,4,6,30,0.5\r\n"
        "3,15,1500,1000,0,0,5,5,20,2,90,0.5\r\n");
    const std::string regions = stars.folder() / "stars.reg";
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(
        HeadlessPlotter().run({"--camera", "SSPro", "--regions", regions, stars.path()}, out, err),
        0)
        << err.str();
    std::ifstream in(regions);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "# Region file format: DS9 version 4.1");
    EXPECT_EQ(lines[1].rfind("global ", 0), 0u);
    EXPECT_EQ(lines[2], "image");
    // y = (H + 1) - Y with H = 2018; the radius is Size / 2, at least 2 pixels.
    EXPECT_EQ(lines[3], "circle(100.25,1818.25,3) # color=green tag={single} text={1}");
    EXPECT_EQ(lines[4], "circle(500,1619,3) # color=orange tag={double} text={2}");
    EXPECT_EQ(lines[5],
              "line(498.2679491924311,1618,501.7320508075689,1620) # line=0 0 color=orange "
              "tag={double}");
    EXPECT_EQ(lines[6], "circle(1500,1019,2) # color=red tag={double} text={3}");
    // Along 90 degrees: straight up, Span long.
    EXPECT_EQ(lines[7].rfind("line(1500,1009,1500,1029) # line=0 0 color=red", 0), 0u) << lines[7];
}

}  // namespace
