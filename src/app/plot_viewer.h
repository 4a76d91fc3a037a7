#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

#include "raster/raster_surface.h"

// "全体を表示": the whole plot in a resizable window of its own, fitted to the window. The wheel
// zooms about the pointer, dragging pans, a double click shows actual size about the point
// clicked, and another shows the whole plot again. It shows the plot it is given, as it is after
// every refresh().
class PlotViewer : public QWidget {
public:
    static constexpr double kLargestScale = 32;

    explicit PlotViewer(const RasterSurface& plot, QWidget* parent = nullptr);

    // Follows a run, a clear or a new plot size: fitted stays fitted, a zoom stays a zoom.
    void refresh();
    void setNight(bool night);
    // While a run has the plot's pixels, the window shows the part in view as it was and follows
    // the plot again once they are back.
    void setFrozen(bool frozen);

    // Screen pixels per plot pixel.
    double scale() const { return scale_; }
    bool fitted() const { return fitted_; }
    // The plot point under a point of the window.
    QPointF plotPointAt(const QPointF& at) const { return origin_ + at / scale_; }

    void fit();
    // Zooms by factor, keeping the plot point under `at` where it is.
    void zoomAbout(const QPointF& at, double factor);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setScaleAbout(const QPointF& at, double scale);
    double fitScale() const;
    double smallestScale() const;
    void keepPlotInView();
    void changed();
    void makeShown();

    const RasterSurface& plot_;
    double scale_ = 1;
    QPointF origin_;  // the plot point at the window's top-left corner
    bool fitted_ = true;
    bool night_ = false;
    bool frozen_ = false;
    bool dragging_ = false;
    QPointF dragFrom_;
    QPointF dragOrigin_;
    // The part of the plot in view, as the screen shows it; made again after every change.
    QImage shown_;
    QPointF shownAt_;
    bool shownValid_ = false;
};
