#include "platform/raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

// The pixel whose centre is nearest to v: floor(v + 0.5), kept in double so that far-off or
// non-finite coordinates can be clipped before any conversion to int.
double pixelOf(double v) { return std::floor(v + 0.5); }

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

// Clamps v to [lo, hi] (NaN goes to lo) and converts it.
int clampToInt(double v, int lo, int hi) {
    if (!(v > lo)) return lo;
    if (v > hi) return hi;
    return static_cast<int>(v);
}

// The run of columns [lo, hi] of row j for which `inside` holds. The test is monotone in the
// distance from cx, so a span estimated from the square root is mended by stepping its ends
// until they agree with the exact test. Returns false when no column of the image qualifies.
template <typename Inside>
bool spanOf(Inside inside, double cx, double halfWidth, int width, int& lo, int& hi) {
    if (!(halfWidth >= 0)) halfWidth = 0;
    lo = clampToInt(std::ceil(cx - halfWidth), 0, width - 1);
    hi = clampToInt(std::floor(cx + halfWidth), 0, width - 1);
    if (lo > hi) {
        const int nearest = clampToInt(pixelOf(cx), 0, width - 1);
        lo = hi = nearest;
    }
    while (lo > 0 && inside(lo - 1)) --lo;
    while (lo <= hi && !inside(lo)) ++lo;
    while (hi < width - 1 && inside(hi + 1)) ++hi;
    while (hi >= lo && !inside(hi)) --hi;
    return lo <= hi;
}

}  // namespace

RasterSurface::RasterSurface(int width, int height) { resize(width, height); }

bool RasterSurface::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return true;
    std::vector<std::uint8_t> next;
    try {
        next.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kWhite);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    const int keepWidth = std::min(width, width_);
    const int keepHeight = std::min(height, height_);
    for (int j = 0; j < keepHeight; ++j) {
        std::memcpy(next.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(width),
                    pixels_.data() + index(0, j), static_cast<std::size_t>(keepWidth));
    }
    pixels_.swap(next);
    width_ = width;
    height_ = height;
    return true;
}

void RasterSurface::clear() { std::fill(pixels_.begin(), pixels_.end(), kWhite); }

void RasterSurface::setPixel(float x, float y, std::uint8_t grey) {
    const double i = pixelOf(x);
    const double j = pixelOf(y);
    if (i >= 0 && i < width_ && j >= 0 && j < height_) {
        pixels_[index(static_cast<int>(i), static_cast<int>(j))] = grey;
    }
}

void RasterSurface::paintRow(int j, int from, int to, std::uint8_t grey) {
    if (from > to) return;
    std::memset(pixels_.data() + index(from, j), grey, static_cast<std::size_t>(to - from + 1));
}

void RasterSurface::drawCircle(float cxf, float cyf, float rf, std::uint8_t outline) {
    if (width_ == 0 || height_ == 0) return;
    const double cx = cxf;
    const double cy = cyf;
    const double r = rf;
    const double centreRow = pixelOf(cy);
    const int top = clampToInt(std::min(std::ceil(cy - r), centreRow), 0, height_ - 1);
    const int bottom = clampToInt(std::max(std::floor(cy + r), centreRow), 0, height_ - 1);
    for (int j = top; j <= bottom; ++j) drawCircleRow(j, cx, cy, r, outline);
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
    if (fillLo > fillHi) {
        paintRow(j, lo, hi, outline);
        return;
    }
    paintRow(j, lo, fillLo - 1, outline);
    paintRow(j, fillLo, fillHi, fill_);
    paintRow(j, fillHi + 1, hi, outline);
}
