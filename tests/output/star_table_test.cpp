#include "output/star_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "doublestar/area_class.h"
#include "plot/temp_file.h"

namespace {

// One drawn star of each kind, in drawing order, as the per-star table writes them: numbers in
// their shortest form, the classifier's two angles in single precision as it computed them, the
// FWHM empty where the source measured none.
TEST(StarTable, AHeaderAndARowPerDrawnStar) {
    TempFile folder("");
    const std::string path = (folder.folder() / "stars.csv").string();
    OutputFile file(path, "星の一覧");
    ASSERT_TRUE(file.open().done());
    {
        StarTable table(file);
        StarRecord single;
        single.index = 1;
        single.area = 400;
        single.x = 100.25;
        single.y = 200.75;
        single.size = 6;
        single.angle = 33.3F;
        single.roundness = 0.8;
        table.onStar(single, {StarKind::Single, AreaClass::find(400), 12.5F, 0.1F});
        StarRecord twin = single;
        twin.index = 2;
        twin.area = 15;
        table.onStar(twin, {StarKind::DoubleByShape, AreaClass::find(15), 170.0F, 136.7F});
        twin.index = 3;
        twin.fwhm = 3.25;
        table.onStar(twin, {StarKind::DoubleByOccupancy, AreaClass::find(15), 0, 33.3F});
    }
    ASSERT_TRUE(file.commit().done());
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string classOf400(AreaClass::find(400)->label);
    const std::string classOf15(AreaClass::find(15)->label);
    EXPECT_EQ(text, std::string(StarTable::kHeader) + "1,400," + classOf400 +
                        ",single,100.25,200.75,6,33.3,0.8,12.5,0.1,\n"
                        "2,15," +
                        classOf15 +
                        ",double-shape,100.25,200.75,6,33.3,0.8,170,136.7,\n"
                        "3,15," +
                        classOf15 + ",double-occupancy,100.25,200.75,6,33.3,0.8,0,33.3,3.25\n");
}

}  // namespace
