#pragma once

#include <cstdint>

#include "plot/star_figure.h"

// What a plotting run draws on: the plot in the window, a raster in the headless plotter, or a
// recorder in tests. Coordinates and radii arrive in single precision, as the run hands them over.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Keeps the overlapping top-left part; new area is white. False when the memory is not there.
    virtual bool resize(int width, int height) = 0;
    virtual void clear() = 0;
    virtual void setFillGrey(std::uint8_t grey) = 0;
    // A full circle in the outline grey, its inside filled with the fill grey.
    virtual void drawCircle(float cx, float cy, float r, std::uint8_t outline) = 0;
    virtual void setPixel(float x, float y, std::uint8_t grey) = 0;
    // One star's marks, the same pixels as drawing them one after the other; a surface that can
    // do better than that overrides it.
    virtual void drawFigure(const StarFigure& figure) {
        for (std::size_t k = 0; k < figure.count; ++k) {
            const StarFigure::Mark& mark = figure.marks[k];
            if (mark.pixel) {
                setPixel(mark.x, mark.y, mark.grey);
            } else {
                drawCircle(mark.x, mark.y, mark.r, mark.grey);
            }
        }
    }

    virtual int width() const = 0;
    virtual int height() const = 0;
};
