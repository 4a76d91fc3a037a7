#pragma once

#include "doublestar/threshold_table.h"

// The fixed tables of the double-star window: what it starts with and its two lens presets.
class LensPreset {
public:
    static ThresholdTable initial();
    static ThresholdTable wideAngle();  // "広角"
    static ThresholdTable telephoto();  // "望遠"
};
