#pragma once

#include <QWidget>

#include "raster/raster_surface.h"

// Picture1: the plot, as large as the sensor. The widget is as large as the plot, so the main
// window shows its top-left part at actual size and clips the rest.
class PlotView : public QWidget {
public:
    explicit PlotView(QWidget* parent = nullptr);

    RasterSurface& surface() { return raster_; }
    const RasterSurface& surface() const { return raster_; }

    // False when the memory for the plot is not there; the plot is then unchanged.
    bool resizePlot(int width, int height);
    void clearPlot();
    // Follows a run that drew on or resized the surface.
    void refresh();
    // Shows the plot in the night look's colours; the plot itself stays grey.
    void setNight(bool night);
    // While a run has the plot's pixels, the screen keeps the plot as it was; the view paints
    // again once they are back.
    void setFrozen(bool frozen);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RasterSurface raster_;
    bool night_ = false;
    bool frozen_ = false;
};
