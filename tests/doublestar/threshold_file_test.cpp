#include "doublestar/threshold_file.h"

#include <gtest/gtest.h>

#include "doublestar/lens_preset.h"
#include "plot/temp_file.h"
#include "text/parse_number.h"

namespace {

TEST(ThresholdFile, InitialTableWritesTheKnownText) {
    EXPECT_EQ(ThresholdFile::format(LensPreset::initial()),
              " 0  0  0 \r\n"
              " .9  .8  .25 \r\n"
              " .8  .7  .25 \r\n"
              " .8  .75  .2 \r\n"
              " .7  .6  .1 \r\n"
              " .6  .6  .05 \r\n"
              " 0  0  0 \r\n"
              " 0  0  0 \r\n"
              " 0 True\r\n");
}

TEST(ThresholdFile, NumberFields) {
    EXPECT_EQ(ThresholdFile::formatNumber(10), " 10 ");
    EXPECT_EQ(ThresholdFile::formatNumber(-0.5), "-.5 ");
    EXPECT_EQ(ThresholdFile::formatNumber(-1.25), "-1.25 ");
    EXPECT_EQ(ThresholdFile::formatNumber(-0.0), " 0 ");
    EXPECT_EQ(ThresholdFile::formatNumber(1.0 / 3), " .333333333333333 ");
    EXPECT_EQ(ThresholdFile::formatNumber(123456789012345678.0), " 1.23456789012346e+17 ");
}

TEST(ThresholdFile, RoundTripKeepsEveryValueAndTheMode) {
    ThresholdTable table = LensPreset::wideAngle();
    table.circularity[2] = "1,5";  // a comma is no decimal mark: reads as 1
    table.areaRatio[4] = "letters";
    table.circleOccupancy[7] = "-2.5e-7";
    table.radialAngleCorrection = "12.5";
    table.andSelected = false;
    const std::string text = ThresholdFile::format(table);
    EXPECT_NE(text.find(" 12.5 False\r\n"), std::string::npos);
    const Result<ThresholdTable> loaded = ThresholdFile::parse(text);
    ASSERT_TRUE(loaded.done()) << loaded.fault().message;
    EXPECT_FALSE(loaded.value().andSelected);
    EXPECT_EQ(loaded.value().circularity[2], "1");
    EXPECT_EQ(loaded.value().areaRatio[4], "0");
    EXPECT_EQ(loaded.value().circularity[1], "0.8");
    EXPECT_EQ(loaded.value().radialAngleCorrection, "12.5");
    for (std::size_t c = 0; c < AreaClass::kCount; ++c) {
        EXPECT_EQ(ParseNumber(loaded.value().circleOccupancy[c]),
                  ParseNumber(table.circleOccupancy[c]));
    }
}

TEST(ThresholdFile, FieldsMayStandOnAnyLines) {
    std::string oneLine;
    for (int i = 0; i < 25; ++i) oneLine += std::to_string(i) + ",";
    oneLine += "1";
    const Result<ThresholdTable> loaded = ThresholdFile::parse(oneLine);
    ASSERT_TRUE(loaded.done()) << loaded.fault().message;
    EXPECT_EQ(loaded.value().circularity[0], "0");
    EXPECT_EQ(loaded.value().circleOccupancy[7], "23");
    EXPECT_EQ(loaded.value().radialAngleCorrection, "24");
    EXPECT_TRUE(loaded.value().andSelected);
    EXPECT_EQ(ThresholdFile::parse(oneLine.substr(0, oneLine.size() - 1) + "0").value().andSelected,
              false);
    // Anything after the 26th field is ignored.
    std::string longer = ThresholdFile::format(LensPreset::initial());
    for (int i = 0; i < 10000; ++i) longer += "x ";
    EXPECT_TRUE(ThresholdFile::parse(longer).done());
}

TEST(ThresholdFile, FaultsLeaveNoHalfTable) {
    const std::string good = ThresholdFile::format(LensPreset::initial());
    Result<ThresholdTable> loaded = ThresholdFile::parse(good.substr(0, good.size() - 7));
    EXPECT_FALSE(loaded.done());
    EXPECT_EQ(loaded.fault().message, "項目が 25 個しかありません（26 個必要です）。");
    loaded = ThresholdFile::parse(good.substr(0, good.size() - 6) + "Maybe\r\n");
    EXPECT_FALSE(loaded.done());
    EXPECT_NE(loaded.fault().message.find("26 番目の項目「Maybe」"), std::string::npos)
        << loaded.fault().message;
    loaded = ThresholdFile::parse("0 0 abc");
    EXPECT_FALSE(loaded.done());
    EXPECT_NE(loaded.fault().message.find("3 番目の項目「abc」が数値ではありません"),
              std::string::npos);
    EXPECT_FALSE(ThresholdFile::parse("").done());
}

TEST(ThresholdFile, TheWholeFileIsReadHoweverLong) {
    TempFile file(std::string(1024 * 1024 - 1, ' ') +
                  ThresholdFile::format(LensPreset::wideAngle()));
    const Result<ThresholdTable> loaded = ThresholdFile::read(file.path());
    ASSERT_TRUE(loaded.done()) << loaded.fault().message;
    EXPECT_EQ(loaded.value().radialAngleCorrection, "10");
    EXPECT_FALSE(ThresholdFile::read(file.path() + ".missing").done());
    EXPECT_NE(ThresholdFile::read(file.path() + ".missing").fault().message.find("ありません"),
              std::string::npos);
}

TEST(LensPreset, WideThenTeleEqualsTheInitialTableButOneText) {
    ThresholdTable tele = LensPreset::telephoto();
    ThresholdTable start = LensPreset::initial();
    EXPECT_EQ(start.circleOccupancy[3], "0.20");
    EXPECT_EQ(tele.circleOccupancy[3], "0.2");
    tele.circleOccupancy[3] = "0.20";
    EXPECT_EQ(tele, start);
    EXPECT_EQ(LensPreset::wideAngle().radialAngleCorrection, "10");
    EXPECT_TRUE(LensPreset::wideAngle().andSelected);
}

}  // namespace
