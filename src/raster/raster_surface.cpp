#include "raster/raster_surface.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

// floor and ceil without a library call (the baseline x86-64 has no rounding instruction);
// values beyond 2^52, infinities and NaN go to the library. Only the sign of a zero result can
// differ, which no caller can tell.
double floorOf(double v) {
    if (!(std::fabs(v) < 0x1p52)) return std::floor(v);
    const double t = static_cast<double>(static_cast<std::int64_t>(v));
    return t > v ? t - 1 : t;
}

double ceilOf(double v) {
    if (!(std::fabs(v) < 0x1p52)) return std::ceil(v);
    const double t = static_cast<double>(static_cast<std::int64_t>(v));
    return t < v ? t + 1 : t;
}

// The pixel whose centre is nearest to v: floor(v + 0.5), kept in double so that far-off or
// non-finite coordinates can be clipped before any conversion to int.
double pixelOf(double v) {
    return floorOf(v + 0.5);
}

bool insideDisc(double i, double j, double cx, double cy, double r2) {
    const double di = i - cx;
    const double dj = j - cy;
    return di * di + dj * dj <= r2;
}

// Pixels drawn in the fill grey lie no further than r - 1 from the centre.
bool insideFill(double i, double j, double cx, double cy, double inner) {
    const double di = i - cx;
    const double dj = j - cy;
    return !(std::sqrt(di * di + dj * dj) > inner);
}

// The next double above or below a positive finite v.
double nextUp(double v) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) + 1);
}

double nextDown(double v) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) - 1);
}

// The largest squared distance d2 with sqrt(d2) <= inner, for a finite inner of 0 or more. The
// square root is correctly rounded and so monotone: for any finite d2, insideFill holds exactly
// when d2 is at most this limit, and the test needs no square root per pixel.
double fillLimit(double inner) {
    double limit = inner * inner;
    while (limit > 0 && std::sqrt(limit) > inner) limit = nextDown(limit);
    while (std::sqrt(nextUp(limit)) <= inner) limit = nextUp(limit);
    return limit;
}

// Fills n bytes. The runs of a star's circles are short, and a few overlapping stores cost less
// than a call.
void fillBytes(std::uint8_t* p, std::size_t n, std::uint8_t grey) {
    if (n >= 16) {
        std::memset(p, grey, n);
    } else if (n >= 8) {
        const std::uint64_t pattern = 0x0101010101010101ULL * grey;
        std::memcpy(p, &pattern, 8);
        std::memcpy(p + n - 8, &pattern, 8);
    } else if (n >= 4) {
        const std::uint32_t pattern = 0x01010101U * grey;
        std::memcpy(p, &pattern, 4);
        std::memcpy(p + n - 4, &pattern, 4);
    } else if (n > 0) {
        p[0] = grey;
        p[n / 2] = grey;
        p[n - 1] = grey;
    }
}

// Clamps v to [lo, hi] (NaN goes to lo) and converts it.
int clampToInt(double v, int lo, int hi) {
    if (!(v > lo)) return lo;
    if (v > hi) return hi;
    return static_cast<int>(v);
}

// Mends an estimated run of columns [lo, hi] (empty when lo > hi) into the run for which
// `inside` holds. The test is monotone in the distance from the centre, so stepping each end
// until it agrees with the exact test finds the run exactly from any estimate that is off by at
// most one column; an empty estimate starts from the column nearest the centre. Leaves lo > hi
// when no column of the image qualifies.
template <typename Inside>
void mendSpan(Inside inside, int last, int nearest, int& lo, int& hi) {
    if (lo > hi) lo = hi = nearest;
    while (lo > 0 && inside(lo - 1)) --lo;
    while (lo <= hi && !inside(lo)) ++lo;
    while (hi < last && inside(hi + 1)) ++hi;
    while (hi >= lo && !inside(hi)) --hi;
}

// The run of columns [lo, hi] of row j for which `inside` holds, estimated from the half width
// of the row. Returns false when no column of the image qualifies.
template <typename Inside>
bool spanOf(Inside inside, double cx, double halfWidth, int width, int& lo, int& hi) {
    if (!(halfWidth >= 0)) halfWidth = 0;
    lo = clampToInt(ceilOf(cx - halfWidth), 0, width - 1);
    hi = clampToInt(floorOf(cx + halfWidth), 0, width - 1);
    mendSpan(inside, width - 1, clampToInt(pixelOf(cx), 0, width - 1), lo, hi);
    return lo <= hi;
}

// Circles whose centre and radius lie below this take the quick way: every squared distance is
// finite and every column end fits an int.
constexpr double kTame = 1e8;

// ceil and floor for |v| < 2^31.
int ceilInt(double v) {
    const auto t = static_cast<int>(v);
    return static_cast<double>(t) < v ? t + 1 : t;
}

int floorInt(double v) {
    const auto t = static_cast<int>(v);
    return static_cast<double>(t) > v ? t - 1 : t;
}

struct TameCircle {
    double cx;
    double cy;
    double r2;
    double inner2;     // (r - 1)^2
    double fillLimit;  // below 0 when no pixel takes the fill grey
    double centreColumn;
    double centreRow;
    int nearest;  // the column nearest the centre, within the image
    int last;     // the last column of the image
};

// The rows of one batch: the estimates of all of them come first, so that their square roots
// and conversions overlap instead of waiting for each other.
struct RowBatch {
    static constexpr int kRows = 16;
    int first = 0;
    int count = 0;
    double dj2[kRows];
    int lo[kRows];
    int hi[kRows];
    int fillLo[kRows];
    int fillHi[kRows];
};

void estimateRows(const TameCircle& c, RowBatch& rows) {
    for (int k = 0; k < rows.count; ++k) {
        const double dj = (rows.first + k) - c.cy;
        rows.dj2[k] = dj * dj;
    }
    for (int k = 0; k < rows.count; ++k) {
        const double half = std::sqrt(std::max(c.r2 - rows.dj2[k], 0.0));
        rows.lo[k] = std::clamp(ceilInt(c.cx - half), 0, c.last);
        rows.hi[k] = std::clamp(floorInt(c.cx + half), 0, c.last);
    }
    if (c.fillLimit < 0) return;
    for (int k = 0; k < rows.count; ++k) {
        const double half = std::sqrt(std::max(c.inner2 - rows.dj2[k], 0.0));
        rows.fillLo[k] = std::clamp(ceilInt(c.cx - half), 0, c.last);
        rows.fillHi[k] = std::clamp(floorInt(c.cx + half), 0, c.last);
    }
}

// Row k of the batch, painted into `row`: the disc in the outline grey, then its inside in the
// fill grey. The same exact tests as on the general way decide every column.
void paintTameRow(const TameCircle& c, const RowBatch& rows, int k, std::uint8_t* row,
                  std::uint8_t outline, std::uint8_t fill) {
    const double dj2 = rows.dj2[k];
    int lo = rows.lo[k];
    int hi = rows.hi[k];
    const auto inDisc = [&](int i) {
        const double di = i - c.cx;
        return di * di + dj2 <= c.r2;
    };
    mendSpan(inDisc, c.last, c.nearest, lo, hi);
    if (lo > hi) {
        // The pixel that holds the centre belongs to every circle, however small.
        const int j = rows.first + k;
        if (c.centreRow != j || !(c.centreColumn >= 0 && c.centreColumn <= c.last)) return;
        lo = hi = static_cast<int>(c.centreColumn);
    }
    fillBytes(row + lo, static_cast<std::size_t>(hi - lo) + 1, outline);
    // No column of a row farther than the fill limit passes the fill test.
    if (!(dj2 <= c.fillLimit)) return;
    const auto inFill = [&](int i) {
        const double di = i - c.cx;
        return di * di + dj2 <= c.fillLimit;
    };
    int fillLo = rows.fillLo[k];
    int fillHi = rows.fillHi[k];
    mendSpan(inFill, c.last, c.nearest, fillLo, fillHi);
    fillLo = std::max(fillLo, lo);
    fillHi = std::min(fillHi, hi);
    if (fillLo <= fillHi) {
        fillBytes(row + fillLo, static_cast<std::size_t>(fillHi - fillLo) + 1, fill);
    }
}

}  // namespace

RasterSurface::RasterSurface(int width, int height) {
    RasterSurface::resize(width, height);
}

bool RasterSurface::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return true;
    const int stride = (width + 3) / 4 * 4;
    std::vector<std::uint8_t> next;
    try {
        next.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    const int keepWidth = std::min(width, width_);
    const int keepHeight = std::min(height, height_);
    for (int j = 0; j < height; ++j) {
        std::uint8_t* row =
            next.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(stride);
        const int kept = j < keepHeight ? keepWidth : 0;
        if (kept > 0)
            std::memcpy(row, pixels_.data() + index(0, j), static_cast<std::size_t>(kept));
        std::memset(row + kept, kWhite, static_cast<std::size_t>(width - kept));
    }
    pixels_.swap(next);
    width_ = width;
    height_ = height;
    stride_ = stride;
    return true;
}

void RasterSurface::clear() {
    whitenRows();
}

// Every pixel white; the row padding stays zero.
void RasterSurface::whitenRows() {
    if (stride_ == width_) {
        std::fill(pixels_.begin(), pixels_.end(), kWhite);
        return;
    }
    for (int j = 0; j < height_; ++j) {
        std::memset(pixels_.data() + index(0, j), kWhite, static_cast<std::size_t>(width_));
    }
}

void RasterSurface::setPixel(float x, float y, std::uint8_t grey) {
    const double i = pixelOf(x);
    const double j = pixelOf(y);
    if (i >= 0 && i < width_ && j >= 0 && j < height_) {
        pixels_[index(static_cast<int>(i), static_cast<int>(j))] = grey;
    }
}

void RasterSurface::paintRow(int j, int from, int to, std::uint8_t grey) {
    if (from > to) return;
    fillBytes(pixels_.data() + index(from, j), static_cast<std::size_t>(to - from) + 1, grey);
}

void RasterSurface::drawCircle(float cxf, float cyf, float rf, std::uint8_t outline) {
    if (width_ == 0 || height_ == 0) return;
    const double cx = cxf;
    const double cy = cyf;
    const double r = rf;
    const double centreRow = pixelOf(cy);
    const int top = clampToInt(std::min(ceilOf(cy - r), centreRow), 0, height_ - 1);
    const int bottom = clampToInt(std::max(floorOf(cy + r), centreRow), 0, height_ - 1);
    if (std::fabs(cx) < kTame && std::fabs(cy) < kTame && std::fabs(r) < kTame) {
        drawTameCircle(cx, cy, r, top, bottom, outline);
        return;
    }
    for (int j = top; j <= bottom; ++j) drawCircleRow(j, cx, cy, r, outline);
}

void RasterSurface::drawTameCircle(double cx, double cy, double r, int top, int bottom,
                                   std::uint8_t outline) {
    TameCircle c{};
    c.cx = cx;
    c.cy = cy;
    c.r2 = r * r;
    c.inner2 = (r - 1) * (r - 1);
    // Where the fill grey is the outline grey, the disc alone gives every pixel its grey.
    c.fillLimit = !(r < 1) && outline != fill_ ? fillLimit(r - 1) : -1;
    c.centreColumn = pixelOf(cx);
    c.centreRow = pixelOf(cy);
    c.last = width_ - 1;
    c.nearest = clampToInt(c.centreColumn, 0, c.last);
    RowBatch rows;
    for (rows.first = top; rows.first <= bottom; rows.first += RowBatch::kRows) {
        rows.count = std::min(RowBatch::kRows, bottom - rows.first + 1);
        estimateRows(c, rows);
        for (int k = 0; k < rows.count; ++k) {
            const int j = rows.first + k;
            paintTameRow(c, rows, k, pixels_.data() + index(0, j), outline, fill_);
        }
    }
}

void RasterSurface::drawCircleRow(int j, double cx, double cy, double r, std::uint8_t outline) {
    const double r2 = r * r;
    const double dj = j - cy;
    const auto inDisc = [&](int i) { return insideDisc(i, j, cx, cy, r2); };
    int lo = 0;
    int hi = 0;
    if (!spanOf(inDisc, cx, std::sqrt(r2 - dj * dj), width_, lo, hi)) {
        // The pixel that holds the centre belongs to every circle, however small.
        const double ci = pixelOf(cx);
        if (pixelOf(cy) != j || !(ci >= 0 && ci < width_)) return;
        lo = hi = static_cast<int>(ci);
    }
    const double inner = r - 1;
    int fillLo = 0;
    int fillHi = -1;
    if (!(r < 1)) {
        const auto inFill = [&](int i) { return insideFill(i, j, cx, cy, inner); };
        const double fillHalf = std::sqrt(std::max(inner * inner - dj * dj, 0.0));
        if (!spanOf(inFill, cx, fillHalf, width_, fillLo, fillHi)) fillHi = fillLo - 1;
        fillLo = std::max(fillLo, lo);
        fillHi = std::min(fillHi, hi);
    }
    paintRow(j, lo, hi, outline);
    if (fillLo <= fillHi) paintRow(j, fillLo, fillHi, fill_);
}
