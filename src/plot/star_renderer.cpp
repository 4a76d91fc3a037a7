#include "plot/star_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "plot/rounding.h"
#include "plot/star_geometry.h"

using rounding::floorOf;
using rounding::nearestOf;

StarRenderer::StarRenderer(const Settings& settings)
    : settings_(settings), grey_(greyOf(settings.grey)) {}

StarRenderer::StarRenderer(DrawingSurface& surface, const Settings& settings)
    : StarRenderer(settings) {
    surface_ = &surface;
}

std::uint8_t StarRenderer::greyOf(double value) {
    const double rounded = nearestOf(value);
    if (!(rounded > 0)) return 0;
    return static_cast<std::uint8_t>(std::min(rounded, 255.0));
}

StarRenderer::Point StarRenderer::halfPixelCorrected(Point p) {
    if (p.x > 1) p.x = p.x - 0.5;
    if (p.y > 1) p.y = p.y - 0.5;
    return p;
}

void StarRenderer::addEdgeCircles(StarFigure& figure, Point c, double r) const {
    if (!(r >= 1) || settings_.grey >= 250) return;
    const double g = settings_.grey;
    const double k = settings_.subPixelFactor;
    const double fr = floorOf(r);
    const double fx = floorOf(c.x);
    const double fy = floorOf(c.y);
    figure.circle(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(fr + 1),
                  greyOf(g + k * (250 - 250 * (r - fr))));
    figure.circle(static_cast<float>(c.x), static_cast<float>(fy + 1), static_cast<float>(r),
                  greyOf(g + k * (250 - 250 * (c.y - fy))));
    figure.circle(static_cast<float>(fx + 1), static_cast<float>(c.y), static_cast<float>(r),
                  greyOf(g + k * (250 - 250 * (c.x - fx))));
}

void StarRenderer::addCore(StarFigure& figure, Point c, double r) const {
    if (r < 0.4) {
        figure.dot(static_cast<float>(c.x), static_cast<float>(c.y), grey_);
    } else {
        figure.circle(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(r),
                      grey_);
    }
}

void StarRenderer::draw(const StarRecord& star, const Classification& classification) {
    StarFigure figure;
    layOut(star, classification, figure);
    surface_->drawFigure(figure);
}

void StarRenderer::layOut(const StarRecord& star, const Classification& classification,
                          StarFigure& figure) const {
    const double r = starRadius(star, settings_.sizeScale);
    figure.count = 0;
    if (classification.kind == StarKind::Single) {
        const Point c = halfPixelCorrected({star.x, star.y});
        addEdgeCircles(figure, c, r);
        addCore(figure, c, r);
        return;
    }
    // An orientation of exactly 90 degrees would have no finite slope.
    const float angle = star.angle == 90.0F ? 89.0F : star.angle;
    const float s = static_cast<float>(-std::tan(angle * kPlotPi / 180));
    const double separation = classification.kind == StarKind::DoubleByShape
                                  ? classification.areaClass->separationFactor
                                  : 4;
    const double d = star.span * star.roundness / separation;
    const auto slopeTerm = static_cast<float>(static_cast<double>(s) * s + 1);
    const double dx = std::sqrt(d * d / slopeTerm);
    const double dy = dx * s;
    const Point a = halfPixelCorrected({star.x + dx, star.y + dy});
    const Point b = halfPixelCorrected({star.x - dx, star.y - dy});
    addEdgeCircles(figure, a, r);
    addEdgeCircles(figure, b, r);
    addCore(figure, b, r);
    addCore(figure, a, r);
}
