#include "star_list_generator.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

// Appends value with a fixed number of decimals, as the analysis program writes them.
void append(std::string& line, double value, int decimals) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    line.append(text, end);
}

}  // namespace

StarListGenerator::StarListGenerator(const Options& options)
    : options_(options), state_(options.seed) {}

// splitmix64: small, fast and the same everywhere.
std::uint64_t StarListGenerator::nextBits() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double StarListGenerator::uniform() {
    return static_cast<double>(nextBits() >> 11) * 0x1.0p-53;
}

double StarListGenerator::normal() {
    const double u = 1.0 - uniform();  // (0, 1], so the logarithm is finite
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * kPi * uniform());
}

std::string StarListGenerator::record(std::int64_t index) {
    // Most detected stars are faint and small; a few bright ones reach thousands of pixels.
    const double area = std::clamp(std::exp(3.0 + 1.3 * normal()), 1.0, 4000.0);
    const double roundness = 0.3 + 0.7 * std::sqrt(uniform());
    const double radius = std::sqrt(area / kPi);
    const double drawn = std::clamp(2.0 * radius * (0.8 + 0.4 * uniform()), 1.0, 25.0);
    const double size = options_.size > 0 ? options_.size : drawn;
    const double x = uniform() * options_.width;
    const double y = uniform() * options_.height;
    const double extent1 = std::max(1.0, 2.0 * radius / std::sqrt(roundness));
    const double extent2 = std::max(1.0, extent1 * roundness);
    const double span = extent1 * (0.9 + 0.3 * uniform());
    // Orientations in tenths of a degree over the full half turn, 90 included.
    const double angle = std::floor(uniform() * 1800.0) / 10.0;

    std::string line = std::to_string(index);
    const double fields[] = {
        area, x,     y,        x - 3.5 * uniform(), y - 3.5 * uniform(), extent1, extent2, span,
        size, angle, roundness};
    const int decimals[] = {1, 2, 2, 1, 1, 2, 2, 2, 2, 1, 3};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        line += ',';
        append(line, fields[i], decimals[i]);
    }
    return line;
}

bool StarListGenerator::write(std::ostream& out) {
    out << "Star list " << options_.stars << " stars seed " << options_.seed << "\r\n";
    std::string block;
    for (std::int64_t i = 1; i <= options_.stars; ++i) {
        block += record(i);
        block += "\r\n";
        if (block.size() > (1 << 20)) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    out.flush();
    return static_cast<bool>(out);
}
