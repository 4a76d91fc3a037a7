#include "raster/mark_layer.h"

using span_math::clampToInt;
using span_math::pixelOf;

MarkLayer MarkLayer::disc(double cx, double cy, double r, int width, int height,
                          std::uint8_t outline) {
    MarkLayer layer;
    layer.kind_ = Kind::Disc;
    layer.cx_ = cx;
    layer.cy_ = cy;
    layer.limit_ = r * r;
    layer.grey_ = outline;
    layer.last_ = width - 1;
    const double centreColumn = pixelOf(cx);
    const double centreRow = pixelOf(cy);
    layer.nearest_ = clampToInt(centreColumn, 0, layer.last_);
    layer.hasCentre_ = centreColumn >= 0 && centreColumn <= layer.last_;
    layer.centreRow_ = static_cast<int>(centreRow);
    span_math::circleRows(cy, r, height, layer.top_, layer.bottom_);
    return layer;
}

MarkLayer MarkLayer::inside(const MarkLayer& disc, double limit, std::uint8_t fill) {
    MarkLayer layer = disc;
    layer.kind_ = Kind::Inside;
    layer.limit_ = limit;
    layer.grey_ = fill;
    layer.hasCentre_ = false;
    return layer;
}

MarkLayer MarkLayer::pixel(int i, int j, std::uint8_t grey) {
    MarkLayer layer;
    layer.kind_ = Kind::Pixel;
    layer.top_ = layer.bottom_ = j;
    layer.nearest_ = i;
    layer.grey_ = grey;
    return layer;
}
