#pragma once

#include <string>

// How stars are found on a photograph, as Source Extractor's settings of the same names.
struct DetectionSettings {
    double threshold = 3.0;  // DETECT_THRESH: times the global background RMS
    int minArea = 5;         // DETECT_MINAREA: pixels above the threshold
    // DEBLEND_MINCONT: a branch is a star of its own only with this share of the light. Two
    // images of one star closer than about 1.7 FWHM have no saddle to cut at and stay one star,
    // to be called double; 0.2 still parts neighbouring stars of a rich field.
    double deblendContrast = 0.2;
    int backgroundSize = 64;  // BACK_SIZE: the background mesh's side in pixels
    bool filter = true;       // FILTER: the 5 x 5 Gaussian of FWHM 2 pixels; false: none

    bool operator==(const DetectionSettings&) const = default;

    // Why these settings cannot be used, in Japanese; empty when they can.
    std::string problem() const;
};
