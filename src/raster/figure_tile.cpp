#include "raster/figure_tile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>

#include "raster/span_math.h"

namespace {

constexpr std::int64_t kUncovered = -1;
constexpr double kFar = std::numeric_limits<double>::infinity();

// The columns of the plot that can lie within r of cx by the distance the circle test computes:
// the computed difference of a column outside them is more than r. lo > hi when none.
void columnsWithin(double cx, double r, int last, int& lo, int& hi) {
    lo = span_math::ceilInt(cx - r);
    if ((lo - 1) - cx >= -r) --lo;
    hi = span_math::floorInt(cx + r);
    if ((hi + 1) - cx <= r) ++hi;
    lo = std::max(lo, 0);
    hi = std::min(hi, last);
}

}  // namespace

bool FigureTile::fit(const StarFigure& figure, const double* fillLimits, int width, int height) {
    count_ = figure.count;
    int left = INT_MAX;
    int right = INT_MIN;
    top_ = INT_MAX;
    bottom_ = INT_MIN;
    centreColumn_ = -1;
    for (std::size_t k = 0; k < count_; ++k) {
        const StarFigure::Mark& mark = figure.marks[k];
        if (mark.pixel) {
            addPixel(k, mark, width, height, left, right);
            continue;
        }
        const double r = mark.r;
        // A disc below radius 1 may miss its centre's row and keep its centre pixel instead;
        // the tile does that for a star that is that one disc.
        if (!(r >= 1) && !(count_ == 1 && r >= 0)) return false;
        if (r < 1) {
            const double column = span_math::pixelOf(mark.x);
            if (column >= 0 && column < width) {
                centreRow_ = static_cast<int>(span_math::pixelOf(mark.y));
                centreColumn_ = static_cast<int>(column);
            }
        }
        cx_[k] = mark.x;
        cy_[k] = mark.y;
        r2_[k] = r * r;
        fillLimit_[k] = fillLimits[k];
        outline_[k] = mark.grey;
        span_math::tameCircleRows(mark.y, r, height, firstRow_[k], lastRow_[k]);
        top_ = std::min(top_, firstRow_[k]);
        bottom_ = std::max(bottom_, lastRow_[k]);
        int lo = 0;
        int hi = 0;
        columnsWithin(mark.x, r, width - 1, lo, hi);
        if (centreColumn_ >= 0) {
            lo = std::min(lo, centreColumn_);
            hi = std::max(hi, centreColumn_);
        }
        left = std::min(left, lo);
        right = std::max(right, hi);
    }
    // With nothing on the plot the bounds are still their starting extremes: their difference
    // is taken wide.
    const std::int64_t columns = std::int64_t{right} - left + 1;
    if (columns <= 0) {
        columns_ = 0;
        return true;  // nothing on the plot
    }
    if (columns > kMostColumns || std::int64_t{bottom_} - top_ + 1 > kMostRows) return false;
    columns_ = static_cast<int>(columns);
    left_ = left;
    if (centreColumn_ >= 0) centreColumn_ -= left;
    if (columns_ <= kTiny) {
        setColumnSquares<kTiny>();
    } else if (columns_ <= kNarrow) {
        setColumnSquares<kNarrow>();
    } else {
        setColumnSquares<kMostColumns>();
    }
    return true;
}

// A pixel is a circle of radius 0 about the pixel's centre, on the plot or on no row at all.
void FigureTile::addPixel(std::size_t k, const StarFigure::Mark& mark, int width, int height,
                          int& left, int& right) {
    const double i = span_math::pixelOf(mark.x);
    const double j = span_math::pixelOf(mark.y);
    cx_[k] = i;
    cy_[k] = j;
    r2_[k] = 0;
    fillLimit_[k] = -1;
    outline_[k] = mark.grey;
    firstRow_[k] = 0;
    lastRow_[k] = -1;
    if (!(i >= 0 && i < width && j >= 0 && j < height)) return;
    firstRow_[k] = lastRow_[k] = static_cast<int>(j);
    top_ = std::min(top_, firstRow_[k]);
    bottom_ = std::max(bottom_, lastRow_[k]);
    left = std::min(left, static_cast<int>(i));
    right = std::max(right, static_cast<int>(i));
}

template <int W>
void FigureTile::setColumnSquares() {
    for (std::size_t k = 0; k < count_; ++k) {
        const double cx = cx_[k];
        for (int c = 0; c < W; ++c) {
            const double di = (left_ + c) - cx;
            const std::array<double, 2> square{di * di, kFar};
            columnSquares_[k][static_cast<std::size_t>(c)] = square[c >= columns_];
        }
    }
}

void FigureTile::paint(std::uint8_t* pixels, int stride, std::uint8_t fill) const {
    if (columns_ == 0) return;
    // A single star's four circles and a double star's eight get loops of their own length.
    if (count_ == 1) {
        paintWidth<1>(pixels, stride, fill);
    } else if (count_ == 4) {
        paintWidth<4>(pixels, stride, fill);
    } else if (count_ == StarFigure::kMostMarks) {
        paintWidth<StarFigure::kMostMarks>(pixels, stride, fill);
    } else {
        paintWidth<0>(pixels, stride, fill);
    }
}

template <std::size_t N>
void FigureTile::paintWidth(std::uint8_t* pixels, int stride, std::uint8_t fill) const {
    if (columns_ <= kTiny) {
        paintRows<kTiny, N>(pixels, stride, fill);
    } else if (columns_ <= kNarrowest) {
        paintRows<kNarrowest, N>(pixels, stride, fill);
    } else if (columns_ <= kNarrow) {
        paintRows<kNarrow, N>(pixels, stride, fill);
    } else {
        paintRows<kMostColumns, N>(pixels, stride, fill);
    }
}

// Each circle over its own rows only, for all the tile's W columns at once, without a branch
// per pixel: a pixel inside circle k takes the fill grey inside the fill limit and the outline
// grey elsewhere, later circles deciding over earlier ones; then the rows are stored. Columns
// past the tile have an infinite distance and stay uncovered.
template <int W, std::size_t N>
void FigureTile::paintRows(std::uint8_t* pixels, int stride, std::uint8_t fill) const {
    const std::size_t count = N == 0 ? count_ : N;
    const std::int64_t fillGrey = fill;
    const int rows = bottom_ - top_ + 1;
    std::array<std::array<std::int64_t, W>, kMostRows> decided;
    for (int row = 0; row < rows; ++row) decided[static_cast<std::size_t>(row)].fill(kUncovered);
    for (std::size_t k = 0; k < count; ++k) {
        const double limit = r2_[k];
        const double fillLimit = fillLimit_[k];
        const std::int64_t outline = outline_[k];
        const double* squares = columnSquares_[k].data();
        for (int j = firstRow_[k]; j <= lastRow_[k]; ++j) {
            const double dj = j - cy_[k];
            const double rowSquare = dj * dj;
            std::array<std::int64_t, W>& row = decided[static_cast<std::size_t>(j - top_)];
            for (int c = 0; c < W; ++c) {
                const double d2 = squares[c] + rowSquare;
                const std::int64_t value = d2 <= fillLimit ? fillGrey : outline;
                row[c] = d2 <= limit ? value : row[c];
            }
        }
    }
    for (int j = top_; j <= bottom_; ++j) {
        std::array<std::int64_t, W>& row = decided[static_cast<std::size_t>(j - top_)];
        if constexpr (N == 1) {
            // The pixel that holds the centre belongs to every disc, however small.
            if (j == centreRow_ && centreColumn_ >= 0) keepCentre<W>(row);
        }
        writeRow(pixels + static_cast<std::ptrdiff_t>(j) * stride + left_, row.data(), W);
    }
}

template <int W>
void FigureTile::keepCentre(std::array<std::int64_t, W>& decided) const {
    for (const std::int64_t grey : decided) {
        if (grey != kUncovered) return;
    }
    decided[static_cast<std::size_t>(centreColumn_)] = outline_[0];
}

// Stores the covered pixels of a row without reading the plot: a read would wait for the row to
// come from memory, while stores go on without waiting. The covered columns are nearly always
// one run, stored with a few overlapping stores.
void FigureTile::writeRow(std::uint8_t* row, const std::int64_t* decided, int columns) {
    std::uint32_t covered = 0;
    std::array<std::uint8_t, kMostColumns> grey;
    for (int c = 0; c < columns; ++c) {
        covered |= static_cast<std::uint32_t>(decided[c] >= 0) << c;
        grey[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(decided[c]);
    }
    if (covered == 0) return;
    const int first = std::countr_zero(covered);
    const int last = 31 - std::countl_zero(covered);
    if ((covered >> first) != (2U << (last - first)) - 1) {
        for (int c = first; c <= last; ++c) {
            if (decided[c] >= 0) row[c] = grey[static_cast<std::size_t>(c)];
        }
        return;
    }
    const int count = last - first + 1;
    const auto n = static_cast<std::size_t>(count);
    const std::uint8_t* from = grey.data() + first;
    std::uint8_t* to = row + first;
    if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}
