#include "raster/raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>

#include "raster/figure_tile.h"
#include "raster/row_cover.h"
#include "raster/span_math.h"

namespace {

using span_math::ceilOf;
using span_math::clampToInt;
using span_math::fillBytes;
using span_math::fillLimit;
using span_math::floorOf;
using span_math::pixelOf;

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

// The run of columns [lo, hi] of row j for which `inside` holds, estimated from the half width
// of the row. Returns false when no column of the image qualifies.
template <typename Inside>
bool spanOf(Inside inside, double cx, double halfWidth, int width, int& lo, int& hi) {
    if (!(halfWidth >= 0)) halfWidth = 0;
    lo = clampToInt(ceilOf(cx - halfWidth), 0, width - 1);
    hi = clampToInt(floorOf(cx + halfWidth), 0, width - 1);
    span_math::mendSpan(inside, width - 1, clampToInt(pixelOf(cx), 0, width - 1), lo, hi);
    return lo <= hi;
}

// Circles whose centre and radius lie below this take the quick way: every squared distance is
// finite and every column end fits an int.
constexpr double kTame = 1e8;

bool tame(const StarFigure::Mark& mark) {
    return mark.pixel ||
           (std::fabs(mark.x) < kTame && std::fabs(mark.y) < kTame && std::fabs(mark.r) < kTame);
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
    PixelMemory next;
    if (!next.allocate(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height))) {
        return false;
    }
    // Each row written once: the kept part, white, then the zero padding.
    const int keepWidth = std::min(width, width_);
    const int keepHeight = std::min(height, height_);
    const auto padding = static_cast<std::size_t>(stride - width);
    for (int j = 0; j < height; ++j) {
        std::uint8_t* row =
            next.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(stride);
        const int kept = j < keepHeight ? keepWidth : 0;
        if (kept > 0)
            std::memcpy(row, pixels_.data() + index(0, j), static_cast<std::size_t>(kept));
        std::memset(row + kept, kWhite, static_cast<std::size_t>(width - kept));
        if (padding > 0) std::memset(row + width, 0, padding);
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
    if (pixels_.empty()) return;
    if (stride_ == width_) {
        std::memset(pixels_.data(), kWhite,
                    static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height_));
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
        pixels_.data()[index(static_cast<int>(i), static_cast<int>(j))] = grey;
    }
}

void RasterSurface::paintRow(int j, int from, int to, std::uint8_t grey) {
    if (from > to) return;
    fillBytes(pixels_.data() + index(from, j), static_cast<std::size_t>(to - from) + 1, grey);
}

void RasterSurface::drawCircle(float cx, float cy, float r, std::uint8_t outline) {
    StarFigure figure;
    figure.circle(cx, cy, r, outline);
    drawFigure(figure);
}

void RasterSurface::drawFigure(const StarFigure& figure) {
    if (width_ == 0 || height_ == 0) return;
    const auto marks = std::span(figure.marks).first(figure.count);
    if (!std::all_of(marks.begin(), marks.end(), tame)) {
        // Far off or not finite: each mark on its own, the slow and careful way.
        for (const StarFigure::Mark& mark : marks) {
            if (mark.pixel) {
                setPixel(mark.x, mark.y, mark.grey);
            } else {
                drawWildCircle(mark.x, mark.y, mark.r, mark.grey);
            }
        }
        return;
    }
    std::array<double, StarFigure::kMostMarks> fillLimits;  // the first marks.size() are set
    for (std::size_t k = 0; k < marks.size(); ++k) fillLimits[k] = fillLimitOf(marks[k]);
    FigureTile tile;
    if (tile.fit(figure, fillLimits.data(), width_, height_)) {
        tile.paint(pixels_.data(), stride_, fill_);
        return;
    }
    drawLayered(marks, fillLimits.data());
}

// A large star: each mark's runs found row by row, the star laid down from its last mark to its
// first so that each pixel is written once.
void RasterSurface::drawLayered(std::span<const StarFigure::Mark> marks, const double* fillLimits) {
    std::array<MarkLayer, 2 * StarFigure::kMostMarks> layers;
    std::size_t count = 0;
    for (std::size_t k = 0; k < marks.size(); ++k)
        addLayers(marks[k], fillLimits[k], layers, count);
    if (count == 0) return;
    int top = height_;
    int bottom = -1;
    for (std::size_t k = 0; k < count; ++k) {
        top = std::min(top, layers[k].top());
        bottom = std::max(bottom, layers[k].bottom());
    }
    RowCover cover;
    for (int j = top; j <= bottom; ++j) {
        std::uint8_t* row = pixels_.data() + index(0, j);
        cover.clear();
        // The last mark first: what it covers, the marks before it cannot change.
        for (std::size_t k = count; k-- > 0;) {
            MarkLayer& layer = layers[k];
            if (j < layer.top() || j > layer.bottom() || !layer.enter(j)) continue;
            int c0 = 0;
            int c1 = 0;
            if (cover.holding(layer.nearest(), c0, c1) && layer.within(c0, c1)) continue;
            int lo = 0;
            int hi = 0;
            if (layer.span(lo, hi)) cover.paint(row, lo, hi, layer.grey());
        }
    }
}

double RasterSurface::fillLimitOf(const StarFigure::Mark& mark) {
    // Where the fill grey is the outline grey, the disc alone gives every pixel its grey.
    const double r = mark.r;
    if (mark.pixel || r < 1 || mark.grey == fill_) return -1;
    // Edge circles of whole radii come back star after star.
    if (r < static_cast<double>(kWholeRadii) && r == static_cast<int>(r)) {
        const auto whole = static_cast<std::size_t>(r);
        if ((wholeRadiiKnown_ >> whole & 1U) == 0) {
            wholeRadiusLimits_[whole] = fillLimit(r - 1);
            wholeRadiiKnown_ |= std::uint64_t{1} << whole;
        }
        return wholeRadiusLimits_[whole];
    }
    if (r != limitRadius_) {
        limitRadius_ = r;
        limit_ = fillLimit(r - 1);
    }
    return limit_;
}

void RasterSurface::addLayers(const StarFigure::Mark& mark, double fillLimit,
                              std::array<MarkLayer, 2 * StarFigure::kMostMarks>& layers,
                              std::size_t& count) {
    if (mark.pixel) {
        const double i = pixelOf(mark.x);
        const double j = pixelOf(mark.y);
        if (i >= 0 && i < width_ && j >= 0 && j < height_) {
            layers[count++] = MarkLayer::pixel(static_cast<int>(i), static_cast<int>(j), mark.grey);
        }
        return;
    }
    layers[count] = MarkLayer::disc(mark.x, mark.y, mark.r, width_, height_, mark.grey);
    ++count;
    if (fillLimit < 0) return;
    layers[count] = MarkLayer::inside(layers[count - 1], fillLimit, fill_);
    ++count;
}

void RasterSurface::drawWildCircle(float cxf, float cyf, float rf, std::uint8_t outline) {
    int top = 0;
    int bottom = 0;
    span_math::circleRows(cyf, rf, height_, top, bottom);
    for (int j = top; j <= bottom; ++j) drawCircleRow(j, cxf, cyf, rf, outline);
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
