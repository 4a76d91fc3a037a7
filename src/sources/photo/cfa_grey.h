#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A colour filter array's mosaic as one grey value per sensor pixel, by a fixed linear rule that
// keeps the sensor's geometry: each pixel becomes a weighted mean of its neighbourhood, less the
// black levels, whose weights give every colour of the filter pattern its share of the pattern
// wherever the pixel sits. Wherever it sits, a flat field of any colour comes out flat, and the
// weights are symmetric about the pixel, so no star moves. The kernel is the first of these that
// does so for the pattern:
//   - one colour (a monochrome sensor): the pixel itself;
//   - 1 2 1 / 2 4 2 / 1 2 1 (÷ 16), the mean of the four 2 × 2 cells that hold the pixel: every
//     pattern of 2 × 2 (Bayer RGGB, BGGR, GRBG, GBRG; CYGM), each cell colour a quarter;
//   - 0 1 0 1 0 / 1 2 4 2 1 / 0 4 4 4 0 / 1 2 4 2 1 / 0 1 0 1 0 (÷ 36): Fujifilm's 6 × 6 X-Trans,
//     red, green and blue as 8, 20 and 8 of its 36 cells;
//   - for any other pattern of P × Q, the mean of the P × Q cells that hold the pixel.
// Beyond the picture's edges a pixel of the same colour a whole number of patterns inward stands
// in, so the edge pixels are weighed as the others.
class CfaGrey {
public:
    // The filter pattern's colours over one period, row by row.
    struct Pattern {
        int rows = 1;
        int columns = 1;
        std::vector<int> colours{0};

        int at(int row, int column) const {
            return colours[row % rows * columns + column % columns];
        }
    };
    // Integer weights over a square of side 2 radius + 1, row by row.
    struct Kernel {
        int radius = 0;
        std::vector<int> weights{1};

        int sum() const;
        int side() const { return 2 * radius + 1; }
        // The weight at dy rows and dx columns from the pixel, each within the radius.
        int at(int dy, int dx) const {
            return weights[static_cast<std::size_t>(dy + radius) *
                               static_cast<std::size_t>(side()) +
                           static_cast<std::size_t>(dx + radius)];
        }
        bool operator==(const Kernel&) const = default;
    };
    // The raw samples, and the black level of every pixel, repeating over blackRows x
    // blackColumns (a multiple of the pattern where the black depends on the colour).
    struct Mosaic {
        const std::uint16_t* samples = nullptr;
        std::size_t pitch = 0;  // samples from one row to the next
        int width = 0;
        int height = 0;
        Pattern pattern;
        int blackRows = 1;
        int blackColumns = 1;
        std::vector<int> black{0};
    };

    static Kernel kernelFor(const Pattern& pattern);
    // Whether the kernel weighs every colour of the pattern by its share of it at every pixel.
    static bool weighsEvenly(const Kernel& kernel, const Pattern& pattern);

    CfaGrey(const Mosaic& mosaic, const Kernel& kernel);

    // Rows [first, last) of the grey picture, into out (width values a row). Safe to call from
    // several threads at once on different rows.
    void convert(int first, int last, float* out) const {
        convert(first, last, out, mosaic_.width);
    }
    // The same, row first at out and each next one step values further on (less than 0: the
    // rows placed upward).
    void convert(int first, int last, float* out, std::ptrdiff_t step) const;

private:
    void loadRow(int row, float* padded) const;
    void filterRow(int row, float* padded, float* filtered) const;
    int inside(int index, int size, int period) const;

    const Mosaic& mosaic_;
    Kernel kernel_;
    std::vector<int> blackRows_;  // blackRows x width: the black level of every column
    // The kernel as rows of a few shapes, each filtered along a source row once: the kernel's
    // row dy is factors_[dy] times shapes_[shapeOf_[dy]] (no shape: a row of zeros).
    std::vector<std::vector<float>> shapes_;
    std::vector<int> shapeOf_;
    std::vector<float> factors_;
};
