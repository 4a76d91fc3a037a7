#pragma once

#include <optional>
#include <string>

// What a frame's run tells about the frame beside its counts, each empty where its source does
// not say.
struct FrameMeasures {
    std::optional<double> fwhm;       // the drawn stars' median FWHM in pixels, where measured
    std::optional<double> roundness;  // the drawn stars' median roundness (minor / major axis)
    // The star-shape map's reading of the frame for the 診断 column: its findings in a word or
    // two each, joined by "・"; and the whole sentences, a line each, for the column's tooltip.
    std::string reading;
    std::string readingText;
    std::string camera;              // as the frame's file names it
    std::optional<double> exposure;  // seconds
};
