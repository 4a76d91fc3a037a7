#pragma once

#include <array>
#include <string_view>

// The camera presets of the main window: every sensor in landscape.
struct CameraPreset {
    std::string_view caption;
    int width;
    int height;

    static constexpr int kDefault = 1;  // "EOS40D"
    static constexpr std::array<CameraPreset, 3> all() {
        return {{{"SSPro", 3034, 2018}, {"EOS40D", 3902, 2596}, {"EOS DX", 3906, 2602}}};
    }
    static constexpr CameraPreset defaultCamera() { return all()[kDefault]; }
};
