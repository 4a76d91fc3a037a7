#pragma once

#include <cstdint>
#include <vector>

#include "plot/drawing_surface.h"

// Remembers every drawing call, so that tests can check the exact circles a star becomes.
class RecordingSurface : public DrawingSurface {
public:
    struct Call {
        enum Kind { Circle, Pixel } kind;
        float x;
        float y;
        float r;
        int grey;
    };

    bool resize(int width, int height) override {
        width_ = width;
        height_ = height;
        ++resizes;
        return true;
    }
    void clear() override { ++clears; }
    void setFillGrey(std::uint8_t grey) override { fill = grey; }
    void drawCircle(float cx, float cy, float r, std::uint8_t outline) override {
        calls.push_back({Call::Circle, cx, cy, r, outline});
    }
    void setPixel(float x, float y, std::uint8_t grey) override {
        calls.push_back({Call::Pixel, x, y, 0, grey});
    }
    int width() const override { return width_; }
    int height() const override { return height_; }

    std::vector<Call> calls;
    int clears = 0;
    int resizes = 0;
    int fill = -1;

private:
    int width_ = 0;
    int height_ = 0;
};
