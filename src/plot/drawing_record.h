#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plot/drawing_surface.h"

// A drawing surface that keeps the circles and pixels drawn on it, to be drawn on the real
// surface later, in the same order and with the very same arguments. The plot's size and fill
// are the real surface's business; recording them is not needed.
class DrawingRecord : public DrawingSurface {
public:
    struct Step {
        float x;
        float y;
        float r;
        std::uint8_t grey;
        bool pixel;  // setPixel rather than drawCircle
    };

    bool resize(int, int) override { return true; }
    void clear() override {}
    void setFillGrey(std::uint8_t) override {}
    void drawCircle(float cx, float cy, float r, std::uint8_t outline) override;
    void setPixel(float x, float y, std::uint8_t grey) override;
    int width() const override { return 0; }
    int height() const override { return 0; }

    const std::vector<Step>& steps() const { return steps_; }
    void reserve(std::size_t steps) { steps_.reserve(steps); }
    void forget() { steps_.clear(); }
    void swap(DrawingRecord& other) noexcept { steps_.swap(other.steps_); }

    // Draws steps [from, to) on the surface.
    void replay(std::size_t from, std::size_t to, DrawingSurface& surface) const;

private:
    std::vector<Step> steps_;
};
