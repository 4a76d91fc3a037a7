#include "output/region_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "text/number_text.h"

namespace {

const char* colourOf(StarKind kind) {
    switch (kind) {
        case StarKind::Single:
            return "green";
        case StarKind::DoubleByShape:
            return "red";
        case StarKind::DoubleByOccupancy:
            return "orange";
    }
    return "green";
}

}  // namespace

RegionFile::RegionFile(OutputFile& file, double sensorHeight)
    : file_(file), sensorHeight_(sensorHeight) {
    file_.write(
        "# Region file format: DS9 version 4.1\n"
        "global color=green dashlist=8 3 width=1 font=\"helvetica 10 normal roman\" select=1 "
        "highlite=1 dash=0 fixed=0 edit=1 move=1 delete=1 include=1 source=1\n"
        "image\n");
}

void RegionFile::onStar(const StarRecord& star, const Classification& classification) {
    const double y = (sensorHeight_ + 1) - star.y;
    const char* colour = colourOf(classification.kind);
    const bool single = classification.kind == StarKind::Single;
    row_.clear();
    row_ += "circle(";
    row_ += numberText(star.x);
    row_ += ',';
    row_ += numberText(y);
    row_ += ',';
    row_ += numberText(std::max(star.size / 2, 2.0));
    row_ += ") # color=";
    row_ += colour;
    row_ += single ? " tag={single} text={" : " tag={double} text={";
    row_ += numberText(star.index);
    row_ += "}\n";
    if (!single) appendDoubleLine(star, y, colour);
    file_.write(row_);
}

// Through the centre along the star's angle (counter-clockwise from +x, the picture's up as +y,
// which image coordinates share), as long as its span.
// A star near the double range's end can give ends no number holds: then no line, never "inf".
void RegionFile::appendDoubleLine(const StarRecord& star, double y, const char* colour) {
    const double radians = static_cast<double>(star.angle) * (std::numbers::pi / 180);
    const double dx = star.span / 2 * std::cos(radians);
    const double dy = star.span / 2 * std::sin(radians);
    const std::array<double, 4> ends{star.x - dx, y - dy, star.x + dx, y + dy};
    if (!std::all_of(ends.begin(), ends.end(), [](double v) { return std::isfinite(v); })) return;
    row_ += "line(";
    for (std::size_t i = 0; i < ends.size(); ++i) {
        if (i > 0) row_ += ',';
        row_ += numberText(ends[i]);
    }
    row_ += ") # line=0 0 color=";
    row_ += colour;
    row_ += " tag={double}\n";
}
