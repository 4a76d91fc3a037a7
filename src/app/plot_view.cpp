#include "app/plot_view.h"

#include <QPaintEvent>
#include <QPainter>

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

void PlotView::paintEvent(QPaintEvent* event) {
    // Only the part the window shows is converted, not the whole sensor-sized plot.
    const QRect shown = event->rect() & QRect(0, 0, raster_.width(), raster_.height());
    if (shown.isEmpty()) return;
    QPainter painter(this);
    painter.drawImage(shown.topLeft(), ImageFile::view(raster_).copy(shown));
}
