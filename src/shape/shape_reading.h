#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shape/reading_line.h"
#include "shape/shape_summary.h"

class ShapeMap;

// The map read in plain words, one line per finding in this order: too-few (and nothing else),
// or one of round, trailing, radial, tangential and mixed; then tilt, curvature and local where
// they apply.
class ShapeReading {
public:
    static constexpr std::int64_t kFewestStars = 20;
    static constexpr double kRoundBelow = 0.15;   // elongation
    static constexpr double kTrailingFrom = 0.5;  // coherence
    static constexpr double kRadialFrom = 0.3;    // radial, and −0.3 for tangential
    static constexpr double kTiltFrom = 20;       // percent
    static constexpr double kCurvatureFrom = 20;  // percent
    static constexpr std::int64_t kFewestInRegion = 10;
    static constexpr double kLocalLeast = 0.2;  // double fraction, and twice the frame's

    static std::vector<ReadingLine> of(const ShapeMap& map);
    // A finding's code in a word or two, for a table's column ("流れ" for trailing); the code
    // itself where it has none.
    static std::string label(const std::string& code);

private:
    static ReadingLine tooFew(const ShapeMap& map);
    static ReadingLine shape(const ShapeMap& map);
    static ReadingLine tilt(const ShapeMap& map);
    static ReadingLine curvature(const ShapeMap& map);
    static bool isLocal(const ShapeMap& map, const ShapeSummary& region);
    static ReadingLine local(const ShapeMap& map);
};
