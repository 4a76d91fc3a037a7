#pragma once

#include <string>

// How stars are found on a photograph, as Source Extractor's settings of the same names.
struct DetectionSettings {
    double threshold = 3.0;          // DETECT_THRESH: times the global background RMS
    int minArea = 5;                 // DETECT_MINAREA: pixels above the threshold
    double deblendContrast = 0.005;  // DEBLEND_MINCONT
    int backgroundSize = 64;         // BACK_SIZE: the background mesh's side in pixels

    bool operator==(const DetectionSettings&) const = default;

    // Why these settings cannot be used, in Japanese; empty when they can.
    std::string problem() const;
};
