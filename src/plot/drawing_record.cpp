#include "plot/drawing_record.h"

void DrawingRecord::drawCircle(float cx, float cy, float r, std::uint8_t outline) {
    steps_.push_back({cx, cy, r, outline, false});
}

void DrawingRecord::setPixel(float x, float y, std::uint8_t grey) {
    steps_.push_back({x, y, 0, grey, true});
}

void DrawingRecord::replay(std::size_t from, std::size_t to, DrawingSurface& surface) const {
    for (std::size_t i = from; i < to; ++i) {
        const Step& step = steps_[i];
        if (step.pixel) {
            surface.setPixel(step.x, step.y, step.grey);
        } else {
            surface.drawCircle(step.x, step.y, step.r, step.grey);
        }
    }
}
