#pragma once

#include <cstdint>
#include <ostream>
#include <string>

// Writes star lists that look like a star-detection analysis of one full-frame photograph:
// log-normal areas from 1 to a few thousand pixels, sizes 1 to 25, roundness 0.3 to 1, every
// orientation, positions over the whole sensor, CR LF line ends. The same seed gives the same
// bytes on every machine (no standard-library distributions, whose output is not portable).
class StarListGenerator {
public:
    struct Options {
        std::int64_t stars = 1000000;
        std::uint64_t seed = 1;
        int width = 3902;
        int height = 2596;
        double size = 0;  // above 0: every star has this size (the worst case for the drawing)
    };

    explicit StarListGenerator(const Options& options);

    // The header line and every record; false when the stream failed.
    bool write(std::ostream& out);
    // One record line (without its line end) for star number `index`.
    std::string record(std::int64_t index);

private:
    std::uint64_t nextBits();
    double uniform();  // [0, 1)
    double normal();

    Options options_;
    std::uint64_t state_;
};
