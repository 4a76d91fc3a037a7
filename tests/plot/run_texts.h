#pragma once

#include "plot/plotting_run.h"
#include "sources/lists/star_list.h"

// A run as "描画" starts it, from texts, with a star list and the given table.
inline RunResult runTexts(PlotRequest request, const ThresholdTable& table,
                          DrawingSurface& surface) {
    request.thresholds = table;
    return runPlot(request, StarList::openSource, surface);
}
