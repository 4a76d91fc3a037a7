#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "plot/drawing_surface.h"
#include "raster/mark_layer.h"
#include "system/pixel_memory.h"

// The plot itself: an 8-bit grey image, white background, rows top to bottom. Each row is padded
// with zeros to a whole number of 4-byte words, the row layout image writers and the clipboard
// expect, so the plot is handed to them as it is, without a copy.
class RasterSurface : public DrawingSurface {
public:
    static constexpr std::uint8_t kWhite = 255;

    RasterSurface() = default;
    RasterSurface(int width, int height);

    bool resize(int width, int height) override;
    void clear() override;
    void setFillGrey(std::uint8_t grey) override { fill_ = grey; }
    void drawCircle(float cx, float cy, float r, std::uint8_t outline) override;
    // The star's marks in one pass over their rows, each pixel written once.
    void drawFigure(const StarFigure& figure) override;
    void setPixel(float x, float y, std::uint8_t grey) override;

    int width() const override { return width_; }
    int height() const override { return height_; }
    std::uint8_t at(int i, int j) const { return pixels_.data()[index(i, j)]; }
    const std::uint8_t* pixels() const { return pixels_.data(); }
    // Bytes from one row to the next.
    int stride() const { return stride_; }

private:
    std::size_t index(int i, int j) const {
        return static_cast<std::size_t>(j) * static_cast<std::size_t>(stride_) +
               static_cast<std::size_t>(i);
    }
    void whitenRows();
    void paintRow(int j, int from, int to, std::uint8_t grey);
    void drawLayered(std::span<const StarFigure::Mark> marks, const double* fillLimits);
    // The fill test's limit for a circle, or -1 when no pixel takes the fill grey.
    double fillLimitOf(const StarFigure::Mark& mark);
    void addLayers(const StarFigure::Mark& mark, double fillLimit,
                   std::array<MarkLayer, 2 * StarFigure::kMostMarks>& layers, std::size_t& count);
    // A circle far off or not finite, row by row with the general tests.
    void drawWildCircle(float cx, float cy, float r, std::uint8_t outline);
    void drawCircleRow(int j, double cx, double cy, double r, std::uint8_t outline);

    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::uint8_t fill_ = 0;
    // The fill test's limits: for whole radii below kWholeRadii (bit r of wholeRadiiKnown_ set
    // once known), and for the last other radius, which a star's circles share.
    static constexpr int kWholeRadii = 64;
    std::array<double, kWholeRadii> wholeRadiusLimits_{};
    std::uint64_t wholeRadiiKnown_ = 0;
    double limitRadius_ = -1;
    double limit_ = 0;
    PixelMemory pixels_;
};
