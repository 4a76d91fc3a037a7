#include "text/parse_number.h"

#include <gtest/gtest.h>

#include <limits>

#include "raster/bitmap_name.h"
#include "text/locale_number.h"
#include "text/number_text.h"

namespace {

TEST(ParseNumber, TakesTheLeadingNumericPart) {
    EXPECT_EQ(ParseNumber("30"), 30);
    EXPECT_EQ(ParseNumber("  2.5"), 2.5);
    EXPECT_EQ(ParseNumber("-3.5e2xyz"), -350);
    EXPECT_EQ(ParseNumber("1,5"), 1);
    EXPECT_EQ(ParseNumber(".25"), 0.25);
    EXPECT_EQ(ParseNumber("+7."), 7);
    EXPECT_EQ(ParseNumber("1 2"), 12);  // blanks are ignored wherever they stand
    EXPECT_EQ(ParseNumber("1e"), 1);
    EXPECT_EQ(ParseNumber("1e+"), 1);
    EXPECT_EQ(ParseNumber("2E-1"), 0.2);
}

TEST(ParseNumber, NonNumbersGiveZero) {
    for (const char* text : {"", " ", "abc", "-", ".", "e5", "nan", "inf", "\xEF\xBC\x91"}) {
        EXPECT_EQ(ParseNumber(text), 0) << text;
    }
}

TEST(ParseNumber, ExtremesStayFinite) {
    EXPECT_EQ(ParseNumber("1e400"), std::numeric_limits<double>::max());
    EXPECT_EQ(ParseNumber("-1e400"), -std::numeric_limits<double>::max());
    EXPECT_EQ(ParseNumber("1e-400"), 0);
    EXPECT_EQ(ParseNumber("0.000001e-400"), 0);
    EXPECT_EQ(ParseNumber(std::string(1000, '9')), std::numeric_limits<double>::max());
}

// What a threshold cell warns about: a text ParseNumber does not read whole.
TEST(ParseNumber, WholeNumbersAreTold) {
    for (const char* text : {"30", " 0.25 ", "-3.5e2", "+7.", ".5", "1e400"}) {
        EXPECT_TRUE(IsWholeNumber(text)) << text;
    }
    for (const char* text : {"", " ", "1,5", "abc", "1 2", "1e", "0.2x", "\xEF\xBC\x91"}) {
        EXPECT_FALSE(IsWholeNumber(text)) << text;
    }
}

TEST(LocaleNumber, WholeTextMustBeOneNumber) {
    EXPECT_EQ(parseLocaleNumber("3902", "."), 3902.0F);
    EXPECT_EQ(parseLocaleNumber(" 3902 ", "."), 3902.0F);
    EXPECT_EQ(parseLocaleNumber("2596,5", ","), 2596.5F);
    EXPECT_FALSE(parseLocaleNumber("3902px", "."));
    EXPECT_FALSE(parseLocaleNumber("", "."));
    EXPECT_FALSE(parseLocaleNumber("3,902", "."));
    EXPECT_FALSE(parseLocaleNumber("1.5", ","));
}

TEST(NumberText, ShortestForms) {
    EXPECT_EQ(numberText(0.25), "0.25");
    EXPECT_EQ(numberText(10.0), "10");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(0.2), "0.2");
    EXPECT_EQ(numberText(std::int64_t{1234}), "1234");
}

TEST(BitmapFileName, ReplacesOrAddsTheExtension) {
    EXPECT_EQ(bitmapFileName("plot.bmp"), "plot.bmp");
    EXPECT_EQ(bitmapFileName("plot.jpg"), "plot.bmp");
    EXPECT_EQ(bitmapFileName("/home/a/m42.txt"), "/home/a/m42.bmp");
    EXPECT_EQ(bitmapFileName("/home/a/plot"), "/home/a/plot.bmp");
    EXPECT_EQ(bitmapFileName("/home/v1.2/plot"), "/home/v1.2/plot.bmp");
    EXPECT_EQ(bitmapFileName("/home/a/.plot"), "/home/a/.plot.bmp");
    EXPECT_EQ(bitmapFileName("plot.tar.gz"), "plot.tar.bmp");
}

}  // namespace
