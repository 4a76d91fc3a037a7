#include "output/shape_map_json.h"

#include <gtest/gtest.h>

#include <limits>

#include "../shape/shape_fields.h"

using namespace shape_fields;

namespace {

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(ShapeMapJson, EveryFieldInOrderWithNullsWhereThereAreNoStars) {
    const std::string json = ShapeMapJson::text(ShapeMap(nullptr, kWidth, kHeight, 2));
    const std::string nulls =
        "\"double_fraction\": null, \"size\": null, \"roundness\": null, \"elongation\": null, "
        "\"direction\": null, \"coherence\": null, \"radial\": null";
    EXPECT_TRUE(json.starts_with(
        "{\"width\": 3000, \"height\": 2000, \"grid\": 2, \"frame\": {\"n\": 0, \"singles\": 0, "
        "\"doubles\": 0, " +
        nulls +
        ", \"tilt\": null, \"curvature\": null}, \"regions\": [{\"column\": 1, \"row\": 1, "
        "\"name\": \"列 1・行 1\", \"n\": 0, \"singles\": 0, \"doubles\": 0, " +
        nulls + "}, {\"column\": 2, \"row\": 1, "))
        << json;
    EXPECT_EQ(count(json, "\"column\": "), 4U);
    EXPECT_NE(json.find("{\"column\": 1, \"row\": 2, "), std::string::npos);
    EXPECT_TRUE(
        json.ends_with("}], \"reading\": [{\"code\": \"too-few\", \"text\": \"描かれた星が 0 個"
                       "しかなく、星像の形を読むには足りません（20 個以上必要です）。面積の範囲"
                       "を広げるか、星の多い写真でお試しください。\"}]}\n"))
        << json;
}

TEST(ShapeMapJson, NumbersInTheirShortestRoundTripFormAndNoInfinity) {
    std::vector<ShapeStar> stars(2);
    stars[0] = {.x = 1500, .y = 1000, .roundness = 0.75, .size = 0.1 + 0.2, .angle = 0};
    stars[1] = {
        .x = 10, .y = 10, .roundness = 0.75, .size = 0.1 + 0.2, .angle = 0, .isDouble = true};
    const std::string json = ShapeMapJson::text(mapOf(stars));
    EXPECT_NE(
        json.find("\"frame\": {\"n\": 2, \"singles\": 1, \"doubles\": 1, \"double_fraction\": "
                  "0.5, \"size\": 0.30000000000000004, \"roundness\": 0.75, \"elongation\": "
                  "0.25, \"direction\": 0, \"coherence\": 1, "),
        std::string::npos)
        << json;
    EXPECT_NE(json.find("\"name\": \"中央\", \"n\": 1, \"singles\": 1, \"doubles\": 0, "),
              std::string::npos);

    stars[1].size = std::numeric_limits<double>::infinity();
    const std::string infinite = ShapeMapJson::text(mapOf(stars));
    EXPECT_NE(infinite.find("\"name\": \"左上\", \"n\": 1, \"singles\": 0, \"doubles\": 1, "
                            "\"double_fraction\": 1, \"size\": null, "),
              std::string::npos)
        << infinite;
    EXPECT_EQ(infinite.find("inf"), std::string::npos);
}

}  // namespace
