#pragma once

#include "plot/plotting_run.h"

// What the frame list asks of the main window: the settings a frame is run with, and showing a
// frame in the main window as if "描画" had run on it.
class FrameHost {
public:
    virtual ~FrameHost() = default;

    // The main window's settings and the double-star window's limits as they stand; no file.
    virtual PlotRequest frameSettings() const = 0;
    // Draws the frame on the main window's plot with the request's settings and limits, its
    // stars from `stars`, and reports it as a completed "描画" is reported: its counts in the
    // double-star window, the plot on the clipboard, the viewer following. The controls of both
    // windows stay as they are. False, nothing done, while a run goes on.
    virtual bool showFrame(const PlotRequest& request, const StarSourceOpener& stars) = 0;
};
