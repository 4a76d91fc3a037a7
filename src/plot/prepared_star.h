#pragma once

#include "plot/classifier.h"
#include "plot/star_figure.h"

// What a run's preparation made of one record before the drawing.
struct PreparedStar {
    bool shown = false;  // in the area range: classified, counted and laid out
    Classification classification;
    StarFigure figure;
};
