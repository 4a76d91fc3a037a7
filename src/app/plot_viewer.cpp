#include "app/plot_viewer.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/window_look.h"
#include "platform/image_file.h"

namespace {

constexpr QSize kLargestStart(900, 640);
constexpr double kWheelStep = 1.25;  // per notch of the wheel

QRect plotBounds(const RasterSurface& plot) {
    return {0, 0, plot.width(), plot.height()};
}

// The plot reduced to `scale` < 1 with each screen pixel as dark as the darkest plot pixel it
// covers, so that no star vanishes from the overview however small it is.
QImage reduced(const RasterSurface& plot, const QRect& part, double scale) {
    const int width = std::max(1, static_cast<int>(std::ceil(part.width() * scale)));
    const int height = std::max(1, static_cast<int>(std::ceil(part.height() * scale)));
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull()) return image;
    const auto from = [scale](int target, int start, int end) {
        return std::min(end, start + static_cast<int>(target / scale));
    };
    std::vector<int> columnStart(static_cast<std::size_t>(width) + 1);
    for (int x = 0; x <= width; ++x) {
        columnStart[static_cast<std::size_t>(x)] = from(x, part.left(), part.left() + part.width());
    }
    for (int y = 0; y < height; ++y) {
        const int top = from(y, part.top(), part.top() + part.height());
        const int bottom = std::max(top + 1, from(y + 1, part.top(), part.top() + part.height()));
        uchar* out = image.scanLine(y);
        std::fill(out, out + width, uchar{255});
        for (int row = top; row < bottom && row < part.top() + part.height(); ++row) {
            const std::uint8_t* in =
                plot.pixels() + static_cast<std::ptrdiff_t>(row) * plot.stride();
            for (int x = 0; x < width; ++x) {
                const int left = columnStart[static_cast<std::size_t>(x)];
                const int right = std::max(left + 1, columnStart[static_cast<std::size_t>(x) + 1]);
                uchar darkest = out[x];
                for (int i = left; i < right && i < part.left() + part.width(); ++i) {
                    darkest = std::min<uchar>(darkest, in[i]);
                }
                out[x] = darkest;
            }
        }
    }
    return image;
}

}  // namespace

PlotViewer::PlotViewer(const RasterSurface& plot, QWidget* parent)
    : QWidget(parent, Qt::Window), plot_(plot) {
    setObjectName(QStringLiteral("PlotViewer"));
    setWindowTitle(QStringLiteral("プロット全体"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 120);
    setCursor(Qt::OpenHandCursor);
    QSize start = kLargestStart;
    if (const QScreen* shown = screen())
        start = start.boundedTo(shown->availableGeometry().size() * 3 / 4);
    if (plot.width() > 0 && plot.height() > 0) {
        start = QSize(plot.width(), plot.height()).scaled(start, Qt::KeepAspectRatio);
    }
    resize(start.expandedTo(minimumSize()));
    fit();
}

void PlotViewer::refresh() {
    if (frozen_) return;
    if (fitted_) {
        fit();
        return;
    }
    scale_ = std::max(scale_, smallestScale());
    keepPlotInView();
    changed();
}

void PlotViewer::setNight(bool night) {
    night_ = night;
    changed();
}

void PlotViewer::setFrozen(bool frozen) {
    frozen_ = frozen;
    if (!frozen_) refresh();
}

double PlotViewer::fitScale() const {
    if (plot_.width() <= 0 || plot_.height() <= 0) return 1;
    return std::min(static_cast<double>(width()) / plot_.width(),
                    static_cast<double>(height()) / plot_.height());
}

double PlotViewer::smallestScale() const {
    return std::min(fitScale(), 1.0);
}

void PlotViewer::fit() {
    fitted_ = true;
    scale_ = fitScale();
    keepPlotInView();
    changed();
}

void PlotViewer::zoomAbout(const QPointF& at, double factor) {
    setScaleAbout(at, std::clamp(scale_ * factor, smallestScale(), kLargestScale));
}

void PlotViewer::setScaleAbout(const QPointF& at, double scale) {
    const QPointF kept = plotPointAt(at);
    scale_ = scale;
    fitted_ = false;
    origin_ = kept - at / scale_;
    keepPlotInView();
    changed();
}

// A plot smaller than the window sits in its middle; a larger one covers it.
void PlotViewer::keepPlotInView() {
    const auto keep = [](double origin, double view, double plot) {
        if (plot <= view) return (plot - view) / 2;
        return std::clamp(origin, 0.0, plot - view);
    };
    origin_.setX(keep(origin_.x(), width() / scale_, plot_.width()));
    origin_.setY(keep(origin_.y(), height() / scale_, plot_.height()));
}

void PlotViewer::changed() {
    shownValid_ = false;
    update();
}

void PlotViewer::makeShown() {
    shownValid_ = true;
    shown_ = QImage();
    const QRectF inView(origin_, QSizeF(width() / scale_, height() / scale_));
    const QRect part = inView.toAlignedRect() & plotBounds(plot_);
    if (part.isEmpty()) return;
    const double ratio = devicePixelRatioF();
    const double pixelScale = scale_ * ratio;
    if (pixelScale < 1) {
        shown_ = reduced(plot_, part, pixelScale);
    } else {
        const QSize size(static_cast<int>(std::lround(part.width() * pixelScale)),
                         static_cast<int>(std::lround(part.height() * pixelScale)));
        shown_ = ImageFile::view(plot_).copy(part).scaled(size, Qt::IgnoreAspectRatio,
                                                          Qt::FastTransformation);
    }
    if (shown_.isNull()) return;  // no memory for the view: the window stays empty
    shown_.setColorTable(plotScreenColours(night_));
    shown_.setDevicePixelRatio(ratio);
    shownAt_ = (QPointF(part.topLeft()) - origin_) * scale_;
}

void PlotViewer::paintEvent(QPaintEvent*) {
    if (!shownValid_ && !frozen_) makeShown();
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (!shown_.isNull()) painter.drawImage(shownAt_, shown_);
}

void PlotViewer::resizeEvent(QResizeEvent*) {
    refresh();
}

void PlotViewer::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) zoomAbout(event->position(), std::pow(kWheelStep, notches));
    event->accept();
}

void PlotViewer::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragFrom_ = event->position();
    dragOrigin_ = origin_;
    setCursor(Qt::ClosedHandCursor);
}

void PlotViewer::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    origin_ = dragOrigin_ - (event->position() - dragFrom_) / scale_;
    keepPlotInView();
    changed();
}

void PlotViewer::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
}

void PlotViewer::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (!fitted_ && scale_ == 1) {
        fit();
    } else {
        setScaleAbout(event->position(), 1);
    }
}
