#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "truth_sky.h"

// The frames of the truth set: for every kind of frame, frames of many seeings (FWHM), profiles
// (Gaussian, Moffat of several betas), skies, noises and star brightnesses, each drawn from the
// set's seed, so that one seed always gives the same frames.
class TruthSet {
public:
    struct Options {
        std::uint64_t seed = 1;
        int framesPerKind = 16;
        double fwhmLow = 2;
        double fwhmHigh = 6;
        double secondLow = 0.3;  // doubled stars' flux ratios from this to 1
        double snLow = 10;       // peaks over the sky noise, log-uniform
        double snHigh = 2000;
        int profiles = 3;  // 1: Gaussian only, 2: Moffat only, 3: both
    };

    // One kind of frame: what its stars are, and its name in the tables.
    struct FrameKind {
        TruthSky::Frame frame;
        double apart;
        std::string name;
    };

    static std::vector<FrameKind> kinds();
    static std::vector<TruthSky::Plan> plans(const Options& options);
};
