#include "output/region_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "doublestar/area_class.h"
#include "plot/temp_file.h"

namespace {

StarRecord star(double index, double area, double x, double y, double span, double size,
                float angle) {
    StarRecord s;
    s.index = index;
    s.area = area;
    s.x = x;
    s.y = y;
    s.span = span;
    s.size = size;
    s.angle = angle;
    s.roundness = 0.5;
    return s;
}

TEST(RegionFile, ACirclePerDrawnStarOnThePicturesPixelsInItsKindsColour) {
    TempFile folder("");
    const std::string path = (folder.folder() / "stars.reg").string();
    OutputFile file(path, "領域ファイル");
    ASSERT_TRUE(file.open().done());
    {
        // H = 2018, the sensor height of "SSPro".
        RegionFile regions(file, 2018);
        // A single star, a double by occupancy and a double by shape.
        regions.onStar(star(1, 5, 100.25, 200.75, 1, 6, 0), {StarKind::Single, AreaClass::find(5)});
        regions.onStar(star(2, 15, 500, 400, 4, 6, 30),
                       {StarKind::DoubleByOccupancy, AreaClass::find(15)});
        regions.onStar(star(3, 15, 1500, 1000, 20, 2, 90),
                       {StarKind::DoubleByShape, AreaClass::find(15)});
    }
    ASSERT_TRUE(file.commit().done());
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "# Region file format: DS9 version 4.1");
    EXPECT_EQ(lines[1].rfind("global ", 0), 0u);
    EXPECT_EQ(lines[2], "image");
    // y = (H + 1) - Y; the radius is Size / 2, at least 2 pixels.
    EXPECT_EQ(lines[3], "circle(100.25,1818.25,3) # color=green tag={single} text={1}");
    EXPECT_EQ(lines[4], "circle(500,1619,3) # color=orange tag={double} text={2}");
    EXPECT_EQ(lines[5],
              "line(498.2679491924311,1618,501.7320508075689,1620) # line=0 0 color=orange "
              "tag={double}");
    EXPECT_EQ(lines[6], "circle(1500,1019,2) # color=red tag={double} text={3}");
    // Along 90 degrees: straight up, Span long.
    EXPECT_EQ(lines[7].rfind("line(1500,1009,1500,1029) # line=0 0 color=red", 0), 0u) << lines[7];
}

TEST(RegionFile, AStarWhoseEndsNoNumberHoldsGetsItsCircleButNoLine) {
    TempFile folder("");
    const std::string path = (folder.folder() / "stars.reg").string();
    OutputFile file(path, "領域ファイル");
    ASSERT_TRUE(file.open().done());
    {
        RegionFile regions(file, 2018);
        regions.onStar(star(1, 15, 1.7e308, 100, 1e308, 6, 0),
                       {StarKind::DoubleByShape, AreaClass::find(15)});
    }
    ASSERT_TRUE(file.commit().done());
    std::ifstream in(path);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(text.find("circle("), std::string::npos) << text;
    EXPECT_EQ(text.find("line("), std::string::npos) << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
}

}  // namespace
