#include "doublestar/lens_preset.h"

namespace {

using Column = std::array<std::string, AreaClass::kCount>;

ThresholdTable table(Column circularity, Column areaRatio, Column occupancy,
                     std::string correction) {
    return ThresholdTable{std::move(circularity), std::move(areaRatio), std::move(occupancy),
                          std::move(correction), true};
}

}  // namespace

ThresholdTable LensPreset::initial() {
    ThresholdTable start = telephoto();
    start.circleOccupancy[3] = "0.20";  // the window's design text; reads as the preset's 0.2
    return start;
}

ThresholdTable LensPreset::wideAngle() {
    return table({"0", "0.8", "0.7", "0.65", "0.6", "0.5", "0", "0"},
                 {"0", "0.7", "0.65", "0.6", "0.55", "0.5", "0", "0"},
                 {"0", "0.1", "0.1", "0.1", "0.05", "0.03", "0", "0"}, "10");
}

ThresholdTable LensPreset::telephoto() {
    return table({"0", "0.9", "0.8", "0.8", "0.7", "0.6", "0", "0"},
                 {"0", "0.8", "0.7", "0.75", "0.6", "0.6", "0", "0"},
                 {"0", "0.25", "0.25", "0.2", "0.1", "0.05", "0", "0"}, "0");
}
