#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <optional>

struct PixelsFree {
    void operator()(float* pixels) const { std::free(pixels); }
};

// A photograph as one grey picture in single precision, rows upward: row 0 is the picture's
// bottom row, as a FITS file stores a picture and as Source Extractor scans it, whatever the file.
struct GreyImage {
    int width = 0;
    int height = 0;
    // width * height, row by row; left uninitialised when made, so that the threads which fill
    // it also take its first-touch page faults, each for its own rows.
    std::unique_ptr<float[], PixelsFree> pixels;
    // The value at which the camera saturates; none for floating-point samples.
    std::optional<double> saturation;

    static constexpr int kLargestSide = 32767;

    std::size_t size() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
};

// A picture's size in pixels, as the window's 横 and 縦 take it.
struct PictureSize {
    int width = 0;
    int height = 0;

    bool operator==(const PictureSize&) const = default;
};
