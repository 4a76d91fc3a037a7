#pragma once

#include <optional>
#include <string>

// What a frame's own file says about how it was taken, where it says it: a camera's raw file or
// a FITS header. Empty for a star list or a catalog.
struct FrameFacts {
    std::string camera;              // make and model, or the FITS instrument
    std::optional<double> exposure;  // seconds
    std::optional<double> iso;       // ISO speed, or the FITS gain
    std::string taken;               // when, as the file has it: "2024-03-05T22:14:07"

    bool operator==(const FrameFacts&) const = default;
};
