#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

// SplitMix64: portable, unlike the standard library's distributions, so that a generated frame is
// the same on every machine. Shared by the photograph, night and truth-set generators.
class SplitMixRandom {
public:
    explicit SplitMixRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t bits() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(bits() >> 11) * 0x1.0p-53; }
    double normal() {
        const double u = 1.0 - uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * uniform());
    }

private:
    std::uint64_t state_;
};
