#pragma once

#include <QImage>

#include "shape/shape_map.h"

// The star-shape map as a picture to look at: the sensor's outline at its aspect ratio with the
// grid; every drawn star as a short whisker along its angle, longer the more it is stretched,
// single and double stars in two colours; in each region a bold bar along its direction, as
// long as its elongation × coherence, a tint by its share of double stars and its numbers; a
// legend, and the reading below. Drawn by QPainter, with no display: text needs a
// QGuiApplication (OffscreenGui makes one where the program has none).
class ShapeMapPicture {
public:
    enum class Look { Day, Night };  // Night: dim red on black, as the windows' night look
    // Below the legend, the reading as the caption; or nothing, where the reading is shown
    // beside the picture as text.
    enum class Caption { Reading, None };

    static constexpr int kWidth = 1200;

    // width: the picture's, in pixels (at least 400); its height follows the sensor's aspect
    // ratio and the length of the reading. A null image when memory is short.
    static QImage render(const ShapeMap& map, Look look, int width = kWidth,
                         Caption caption = Caption::Reading);
};
