#include "app/plot_view.h"

#include <QPaintEvent>
#include <QPainter>

#include "app/window_look.h"
#include "platform/image_file.h"

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool PlotView::resizePlot(int width, int height) {
    if (!raster_.resize(width, height)) return false;
    refresh();
    return true;
}

void PlotView::clearPlot() {
    raster_.clear();
    update();
}

void PlotView::refresh() {
    resize(raster_.width(), raster_.height());
    update();
}

void PlotView::setNight(bool night) {
    night_ = night;
    update();
}

void PlotView::setFrozen(bool frozen) {
    frozen_ = frozen;
    if (!frozen_) refresh();
}

void PlotView::paintEvent(QPaintEvent* event) {
    // Opaque, the widget keeps on the screen what it painted last.
    if (frozen_) return;
    // Only the part the window shows is converted, not the whole sensor-sized plot.
    const QRect shown = event->rect() & QRect(0, 0, raster_.width(), raster_.height());
    if (shown.isEmpty()) return;
    QPainter painter(this);
    QImage part = ImageFile::view(raster_).copy(shown);
    part.setColorTable(plotScreenColours(night_));
    painter.drawImage(shown.topLeft(), part);
}
