#pragma once

#include <cstdint>

#include "plot/classifier.h"
#include "plot/drawing_surface.h"
#include "plot/star_figure.h"
#include "plot/star_record.h"

// Draws each star as it is classified: a single star as one disc, a double star as two discs
// along its orientation, discs of radius 1 or more with three edge circles whose greys follow
// the sub-pixel position. The surface gets each star as one figure, which can also be laid out
// apart from the drawing.
class StarRenderer {
public:
    struct Settings {
        double sizeScale = 3;         // the star size text divided by 10; never 0
        int grey = 0;                 // 0..255
        double subPixelFactor = 1.0;  // (255 - grey) / 255, or 0 without sub-pixel shading
    };

    // Without a surface: lays stars out only.
    explicit StarRenderer(const Settings& settings);
    StarRenderer(DrawingSurface& surface, const Settings& settings);

    void draw(const StarRecord& star, const Classification& classification);
    // The marks the star becomes, in drawing order.
    void layOut(const StarRecord& star, const Classification& classification,
                StarFigure& figure) const;

    // Rounds halves to even and keeps the result within 0..255.
    static std::uint8_t greyOf(double value);

private:
    struct Point {
        double x;
        double y;
    };

    static Point halfPixelCorrected(Point p);
    void addEdgeCircles(StarFigure& figure, Point centre, double r) const;
    void addCore(StarFigure& figure, Point centre, double r) const;

    DrawingSurface* surface_ = nullptr;
    Settings settings_;
    std::uint8_t grey_;
};
