#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "raster/span_math.h"

// The columns one mark of a star covers on each row of the plot: a circle's disc in its outline
// grey, the inside of a circle in the fill grey, or a single pixel. A disc holds the columns
// whose squared distance from the centre is at most r * r; the inside, those at most r - 1 from
// it; a disc with no column on the row of its centre still marks the centre pixel. Each row's
// run of columns is found exactly from the row before by stepping its ends a column at a time;
// only a first row or one after a gap starts from a square-root estimate.
class MarkLayer {
public:
    enum class Kind : std::uint8_t { Disc, Inside, Pixel };

    MarkLayer() = default;
    // A circle whose centre and radius lie below 1e8 in magnitude, on a plot of that size.
    static MarkLayer disc(double cx, double cy, double r, int width, int height,
                          std::uint8_t outline);
    // The inside of a disc: squared distances up to `limit` (span_math::fillLimit of r - 1).
    static MarkLayer inside(const MarkLayer& disc, double limit, std::uint8_t fill);
    static MarkLayer pixel(int i, int j, std::uint8_t grey);

    int top() const { return top_; }
    int bottom() const { return bottom_; }
    std::uint8_t grey() const { return grey_; }
    // The column of the plot nearest the centre: every run that is not empty holds it.
    int nearest() const { return nearest_; }

    // Moves to row j (within top() and bottom()); false when the layer has no column there.
    bool enter(int j) {
        row_ = j;
        if (kind_ == Kind::Pixel) return true;
        const double dj = j - cy_;
        dj2_ = dj * dj;
        onlyCentre_ = false;
        if (dj2_ <= limit_) return true;
        // No column passes; a disc keeps the pixel that holds its centre.
        lastRow_ = kNoRow;
        onlyCentre_ = kind_ == Kind::Disc && j == centreRow_ && hasCentre_;
        return onlyCentre_;
    }

    // After enter(): whether every column of the row lies within [c0, c1], a run that holds
    // nearest(). Two columns decide it, since the layer's own run holds nearest() too.
    bool within(int c0, int c1) const {
        if (kind_ == Kind::Pixel || onlyCentre_) return true;
        return (c0 == 0 || !covers(c0 - 1)) && (c1 == last_ || !covers(c1 + 1));
    }

    // After enter(): the run of columns [lo, hi] of the row; false when there is none.
    bool span(int& lo, int& hi) {
        if (kind_ == Kind::Pixel || onlyCentre_) {
            lo = hi = nearest_;
            return true;
        }
        if (lastRow_ == row_ - 1) {
            lo = lo_;
            hi = hi_;
        } else {
            estimate(lo, hi);
        }
        span_math::mendSpan([this](int i) { return covers(i); }, last_, nearest_, lo, hi);
        lo_ = lo;
        hi_ = hi;
        lastRow_ = lo <= hi ? row_ : kNoRow;
        if (lo <= hi) return true;
        if (kind_ != Kind::Disc || row_ != centreRow_ || !hasCentre_) return false;
        lo = hi = nearest_;
        return true;
    }

private:
    static constexpr int kNoRow = -2;

    bool covers(int i) const {
        const double di = i - cx_;
        return di * di + dj2_ <= limit_;
    }

    // The run from the half width of the row: empty, or holding nearest().
    void estimate(int& lo, int& hi) const {
        const double half = std::sqrt(std::max(limit_ - dj2_, 0.0));
        lo = std::clamp(span_math::ceilInt(cx_ - half), 0, last_);
        hi = std::clamp(span_math::floorInt(cx_ + half), 0, last_);
    }

    double cx_ = 0;
    double cy_ = 0;
    double limit_ = -1;  // the largest squared distance inside
    double dj2_ = 0;     // of the current row
    int top_ = 0;
    int bottom_ = -1;
    int last_ = 0;     // the last column of the plot
    int nearest_ = 0;  // within the plot
    int centreRow_ = 0;
    int row_ = 0;
    int lastRow_ = kNoRow;  // the row whose run lo_, hi_ hold, when it was not empty
    int lo_ = 0;
    int hi_ = -1;
    std::uint8_t grey_ = 0;
    Kind kind_ = Kind::Disc;
    bool hasCentre_ = false;  // the centre pixel's column lies on the plot
    bool onlyCentre_ = false;
};
