#pragma once

#include <optional>
#include <string>

// What a frame's run tells about the frame beside its counts, each empty where its source does
// not say.
struct FrameMeasures {
    std::optional<double> fwhm;       // the drawn stars' median FWHM in pixels, where measured
    std::optional<double> roundness;  // the drawn stars' median roundness (minor / major axis)
    // The star-shape map's reading of the frame, for the 診断 column; nothing fills it yet, so
    // the column stays empty.
    std::string reading;
    std::string camera;              // as the frame's file names it
    std::optional<double> exposure;  // seconds
};
