#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "plot/star_figure.h"

// A small star's circles decided pixel by pixel over the few pixels they reach: each pixel takes
// the grey of the last circle that covers it and is written once, and no run of columns has to
// be found. From radius 1 on, the centre's row always holds a column of the disc, so no centre
// pixel has to be kept, except for a star that is a single smaller disc.
class FigureTile {
public:
    static constexpr int kMostColumns = 16;
    static constexpr int kMostRows = 16;

    // Sets the tile up for the figure's circles (fillLimits[k] below 0: circle k has no fill) on
    // a plot of the size. False when a mark is not such a circle or the tile would be too large.

    bool fit(const StarFigure& figure, const double* fillLimits, int width, int height);
    // Lays the circles down on the plot's rows.
    void paint(std::uint8_t* pixels, int stride, std::uint8_t fill) const;

private:
    // Narrower tiles take less work per row.
    static constexpr int kTiny = 4;
    static constexpr int kNarrowest = 6;
    static constexpr int kNarrow = 8;

    template <int W>
    void setColumnSquares(const StarFigure& figure);
    template <std::size_t N>
    void paintWidth(std::uint8_t* pixels, int stride, std::uint8_t fill) const;
    // N circles, or count_ for N = 0.
    template <int W, std::size_t N>
    void paintRows(std::uint8_t* pixels, int stride, std::uint8_t fill) const;
    template <int W>
    void keepCentre(std::array<std::int64_t, W>& decided) const;
    static void writeRow(std::uint8_t* row, const std::int64_t* decided, int columns);

    std::size_t count_ = 0;
    int left_ = 0;
    int columns_ = 0;
    int top_ = 0;
    int bottom_ = -1;
    // Set by fit() for its circles.
    std::array<double, StarFigure::kMostMarks> cy_;
    std::array<double, StarFigure::kMostMarks> r2_;
    std::array<double, StarFigure::kMostMarks> fillLimit_;
    std::array<int, StarFigure::kMostMarks> firstRow_;
    std::array<int, StarFigure::kMostMarks> lastRow_;
    std::array<std::uint8_t, StarFigure::kMostMarks> outline_;
    // For a star that is one disc below radius 1: the row and the tile's column of the pixel
    // that holds its centre, kept where the disc misses that row; -1 for none.
    int centreRow_ = -1;
    int centreColumn_ = -1;
    // The squared distance of each column of the tile from each circle's centre, infinite past
    // the tile's columns.
    std::array<std::array<double, kMostColumns>, StarFigure::kMostMarks> columnSquares_;
};
