#include "shape/shape_reading.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>

#include "shape/region_name.h"
#include "shape/shape_map.h"

namespace {

// A number with a fixed count of decimals, whatever the user's locale; no "-0.00".
std::string fixed(double value, int decimals) {
    if (!std::isfinite(value)) return "?";
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, decimals)
                         .ptr;
    std::string text(buffer.data(), end);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string signedFixed(double value, int decimals) {
    const std::string text = fixed(value, decimals);
    return value > 0 && text.find_first_not_of("0.") != std::string::npos ? "+" + text : text;
}

std::string percent(double fraction) {
    return fixed(100 * fraction, 0) + "%";
}

std::string degrees(double value) {
    const std::string text = fixed(value, 0);
    return (text == "180" ? "0" : text) + "°";  // 179.6° rounds to the same line as 0°
}

// The frame's numbers that the reading of the stars' shape names.
std::string shapeNumbers(const ShapeSummary& frame, bool withCoherence, bool withRadial) {
    std::string text = "伸び " + fixed(frame.elongation.value_or(0), 2);
    if (withCoherence && frame.coherence) text += "、向きのそろい " + fixed(*frame.coherence, 2);
    if (withRadial && frame.radial) text += "、放射度 " + signedFixed(*frame.radial, 2);
    return text + "、重星 " + percent(frame.doubleFraction.value_or(0));
}

bool atLeast(const std::optional<double>& value, double limit) {
    return value && *value >= limit;
}

}  // namespace

std::vector<ReadingLine> ShapeReading::of(const ShapeMap& map) {
    if (map.frame().n < kFewestStars) return {tooFew(map)};
    std::vector<ReadingLine> lines{shape(map)};
    if (atLeast(map.tilt(), kTiltFrom)) lines.push_back(tilt(map));
    if (atLeast(map.curvature(), kCurvatureFrom)) lines.push_back(curvature(map));
    const std::vector<ShapeRegion>& regions = map.regions();
    if (std::any_of(regions.begin(), regions.end(),
                    [&map](const ShapeRegion& region) { return isLocal(map, region.summary); })) {
        lines.push_back(local(map));
    }
    return lines;
}

ReadingLine ShapeReading::tooFew(const ShapeMap& map) {
    return {"too-few",
            "描かれた星が " + std::to_string(map.frame().n) +
                " 個しかなく、星像の形を読むには足りません（" + std::to_string(kFewestStars) +
                " 個以上必要です）。面積の範囲を広げるか、星の多い写真でお試しください。"};
}

ReadingLine ShapeReading::shape(const ShapeMap& map) {
    const ShapeSummary& f = map.frame();
    if (!f.elongation || *f.elongation < kRoundBelow) {
        return {"round",
                "星はほぼ丸く写っています（" + shapeNumbers(f, false, false) +
                    "）。追尾や光学系による星像の伸びは目立たないので、重星と判定された星は"
                    "近接した星か、判定のしきい値によるものと考えられます。"};
    }
    if (atLeast(f.coherence, kTrailingFrom)) {
        return {"trailing", "星が全面で同じ向き（" + degrees(f.direction.value_or(0)) +
                                "）に伸びています（" + shapeNumbers(f, true, false) +
                                "）。追尾・ガイドのずれ、極軸のずれ、風や振動を疑ってください。"};
    }
    if (atLeast(f.radial, kRadialFrom)) {
        return {"radial", "星が中心から外へ向かう向き（放射方向）に伸びています（" +
                              shapeNumbers(f, false, true) +
                              "）。周辺ほど伸びているならコマ収差です。フラットナーやレデューサーと"
                              "センサーの間隔（バックフォーカス）のずれを疑ってください。"};
    }
    if (f.radial && *f.radial <= -kRadialFrom) {
        return {"tangential", "星が中心を囲む向き（放射方向と直角）に伸びています（" +
                                  shapeNumbers(f, false, true) +
                                  "）。非点収差や像面湾曲、フラットナーやレデューサーとセンサーの"
                                  "間隔（バックフォーカス）のずれを疑ってください。"};
    }
    return {"mixed", "星は伸びていますが、向きがそろっていません（" + shapeNumbers(f, true, true) +
                         "）。ピントのずれやシーイング、光学系のゆがみや傾き、いくつかの原因の"
                         "重なりが考えられます。領域ごとの向きを見てください。"};
}

ReadingLine ShapeReading::tilt(const ShapeMap& map) {
    const int n = map.grid();
    const std::array<const ShapeRegion*, 4> corners = {&map.region(1, 1), &map.region(n, 1),
                                                       &map.region(1, n), &map.region(n, n)};
    const auto bySize = [](const ShapeRegion* a, const ShapeRegion* b) {
        return a->summary.size.value_or(0) < b->summary.size.value_or(0);
    };
    const ShapeRegion& largest = **std::max_element(corners.begin(), corners.end(), bySize);
    const ShapeRegion& smallest = **std::min_element(corners.begin(), corners.end(), bySize);
    const std::string big = cornerName(largest.column, largest.row);
    const std::string small = cornerName(smallest.column, smallest.row);
    return {"tilt", "四隅で星の大きさが " + fixed(*map.tilt(), 0) + "% 違い、" + big +
                        "の隅が最も大きく写っています（" + big + " " +
                        fixed(largest.summary.size.value_or(0), 2) + "、" + small + " " +
                        fixed(smallest.summary.size.value_or(0), 2) +
                        "）。センサーやカメラの取り付けの傾き（スケアリング）を疑ってください。"};
}

ReadingLine ShapeReading::curvature(const ShapeMap& map) {
    return {
        "curvature",
        "周辺の星が中心の星より " + fixed(*map.curvature(), 0) + "% 大きく写っています（中心 " +
            fixed(map.centreSize().value_or(0), 2) + "、周辺 " +
            fixed(map.edgeSize().value_or(0), 2) +
            "）。像面湾曲を疑ってください（フラットナーの有無や間隔、中心だけに合わせたピント）。"};
}

bool ShapeReading::isLocal(const ShapeMap& map, const ShapeSummary& region) {
    const double least = std::max(2 * map.frame().doubleFraction.value_or(0), kLocalLeast);
    return region.n >= kFewestInRegion && atLeast(region.doubleFraction, least);
}

ReadingLine ShapeReading::local(const ShapeMap& map) {
    std::string places;
    for (const ShapeRegion& region : map.regions()) {
        if (!isLocal(map, region.summary)) continue;
        if (!places.empty()) places += "、";
        places += region.name + " " + percent(*region.summary.doubleFraction);
    }
    return {"local",
            "重星の割合が一部の領域で高くなっています（" + places + "。全体では " +
                percent(map.frame().doubleFraction.value_or(0)) +
                "）。その部分だけの星像の伸びやピントのずれ、傾き、光学系やセンサーの汚れ・結露、"
                "その方向の雲や薄明、明るい星や星雲の重なりを疑ってください。"};
}

std::string ShapeReading::label(const std::string& code) {
    static const std::pair<const char*, const char*> kLabels[] = {
        {"too-few", "星が少ない"}, {"round", "良好"},          {"trailing", "流れ"},
        {"radial", "放射状"},      {"tangential", "同心円状"}, {"mixed", "不揃い"},
        {"tilt", "傾き"},          {"curvature", "像面湾曲"},  {"local", "局所的な重星"},
    };
    for (const auto& [known, label] : kLabels) {
        if (code == known) return label;
    }
    return code;
}
