#include "truth_set.h"

#include <cmath>

namespace {

// A SplitMix64 step: the frames' parameters from the set's seed, the same on every machine.
double uniform(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
}

}  // namespace

std::vector<TruthSet::FrameKind> TruthSet::kinds() {
    using Frame = TruthSky::Frame;
    return {{Frame::Good, 0, "good tracking"},
            {Frame::Crowded, 0, "good, crowded"},
            {Frame::Doubled, 1.0, "doubled 1.0 FWHM"},
            {Frame::Doubled, 1.5, "doubled 1.5 FWHM"},
            {Frame::Doubled, 2.0, "doubled 2.0 FWHM"},
            {Frame::Trailed, 1.0, "trailed 1.0 FWHM"},
            {Frame::Trailed, 1.5, "trailed 1.5 FWHM"},
            {Frame::Trailed, 2.0, "trailed 2.0 FWHM"},
            {Frame::Mixed, 0, "mixed"}};
}

std::vector<TruthSky::Plan> TruthSet::plans(const Options& options) {
    std::vector<TruthSky::Plan> plans;
    std::uint64_t state = options.seed * 0x2545F4914F6CDD1DULL;
    for (const FrameKind& kind : kinds()) {
        for (int n = 0; n < options.framesPerKind; ++n) {
            TruthSky::Plan plan;
            plan.frame = kind.frame;
            plan.apart = kind.apart;
            plan.secondLow = options.secondLow;
            // A rich field: three times the stars, anywhere.
            if (kind.frame == TruthSky::Frame::Crowded) plan.stars *= 3;
            plan.snLow = options.snLow;
            plan.snHigh = options.snHigh;
            plan.fwhm = options.fwhmLow + (options.fwhmHigh - options.fwhmLow) * uniform(state);
            // Gaussian and Moffat frames in turn, Moffat's beta from 2.5 to 4.5.
            const bool moffat = options.profiles == 2 || (options.profiles == 3 && n % 2 == 1);
            const double beta = 2.5 + 2 * uniform(state);
            plan.beta = moffat ? beta : 0;
            plan.sky = 100 * std::pow(50.0, uniform(state));  // 100 .. 5000 counts
            plan.readNoise = 3 + 9 * uniform(state);
            plan.gain = 0.5 + 2.5 * uniform(state);
            plan.seed = static_cast<std::uint64_t>(uniform(state) * 0x1.0p53) + 1;
            plans.push_back(plan);
        }
    }
    return plans;
}
