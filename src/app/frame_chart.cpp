#include "app/frame_chart.h"

#include <memory>

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

struct Colours {
    QColor ground;
    QColor text;
    QColor grid;
    QColor fraction;
    QColor fwhm;
    QColor limit;
    QColor rejected;
    QColor selected;
};

// The night look is told by its black window: then everything in dim red.
Colours coloursFor(const QPalette& palette) {
    if (palette.color(QPalette::Window).value() < 60) {
        return {Qt::black,         QColor(170, 0, 0), QColor(50, 0, 0),   QColor(200, 0, 0),
                QColor(110, 0, 0), QColor(230, 0, 0), QColor(255, 40, 0), QColor(255, 0, 0)};
    }
    return {palette.color(QPalette::Base), palette.color(QPalette::Text),
            QColor(220, 220, 220),         QColor(31, 119, 180),
            QColor(230, 120, 20),          QColor(200, 30, 30),
            QColor(200, 30, 30),           QColor(0, 0, 0)};
}

// A range that shows every value with a little room above, and never collapses.
double topOf(double largest, double least) {
    return std::max(largest * 1.15, least);
}

void hideFromLegend(QChart* chart, QAbstractSeries* series) {
    for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

}  // namespace

FrameChart::FrameChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("FrameChart"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(200);
    build();
    applyColours();
    redraw();
}

void FrameChart::build() {
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    x_ = new QValueAxis;
    x_->setTitleText(QStringLiteral("番号"));
    x_->setLabelFormat(QStringLiteral("%d"));
    left_ = new QValueAxis;
    left_->setTitleText(QStringLiteral("重星率"));
    left_->setLabelFormat(QStringLiteral("%.2f"));
    right_ = new QValueAxis;
    right_->setTitleText(QStringLiteral("FWHM（px）"));
    right_->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(x_, Qt::AlignBottom);
    chart->addAxis(left_, Qt::AlignLeft);
    chart->addAxis(right_, Qt::AlignRight);

    const auto add = [&](QXYSeries* series, const QString& name, QValueAxis* axis) {
        series->setName(name);
        chart->addSeries(series);
        series->attachAxis(x_);
        series->attachAxis(axis);
    };
    fraction_ = new QLineSeries;
    add(fraction_, QStringLiteral("重星率"), left_);
    fractionPoints_ = new QScatterSeries;
    add(fractionPoints_, {}, left_);
    fwhm_ = new QLineSeries;
    add(fwhm_, QStringLiteral("FWHM"), right_);
    fwhmPoints_ = new QScatterSeries;
    add(fwhmPoints_, {}, right_);
    fractionLimit_ = new QLineSeries;
    add(fractionLimit_, QStringLiteral("重星率の上限"), left_);
    fwhmLimit_ = new QLineSeries;
    add(fwhmLimit_, QStringLiteral("FWHM の上限"), right_);
    rejectedPoints_ = new QScatterSeries;
    add(rejectedPoints_, QStringLiteral("不採用"), left_);
    selectedPoint_ = new QScatterSeries;
    add(selectedPoint_, {}, left_);
    for (QScatterSeries* series : {fractionPoints_, fwhmPoints_, rejectedPoints_, selectedPoint_}) {
        series->setMarkerSize(7);
    }
    rejectedPoints_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    rejectedPoints_->setMarkerSize(9);
    selectedPoint_->setMarkerSize(13);
    for (QAbstractSeries* series : {static_cast<QAbstractSeries*>(fractionPoints_),
                                    static_cast<QAbstractSeries*>(fwhmPoints_),
                                    static_cast<QAbstractSeries*>(selectedPoint_)}) {
        hideFromLegend(chart, series);
    }
    // The view made a chart of its own, which it lets go of without deleting it.
    std::unique_ptr<QChart> made(this->chart());
    setChart(chart);
}

void FrameChart::applyColours() {
    const Colours c = coloursFor(palette());
    QChart* shown = chart();
    // The window's own font: the chart's would be larger than the controls around it.
    shown->legend()->setFont(font());
    for (QValueAxis* axis : {x_, left_, right_}) {
        axis->setLabelsFont(font());
        axis->setTitleFont(font());
    }
    shown->setBackgroundBrush(c.ground);
    shown->setPlotAreaBackgroundVisible(false);
    shown->legend()->setLabelColor(c.text);
    for (QValueAxis* axis : {x_, left_, right_}) {
        axis->setLabelsColor(c.text);
        axis->setTitleBrush(c.text);
        axis->setGridLineColor(c.grid);
        axis->setLinePenColor(c.text);
    }
    right_->setGridLineVisible(false);
    fraction_->setPen(QPen(c.fraction, 1.5));
    fractionPoints_->setColor(c.fraction);
    fractionPoints_->setBorderColor(c.fraction);
    fwhm_->setPen(QPen(c.fwhm, 1.5));
    fwhmPoints_->setColor(c.fwhm);
    fwhmPoints_->setBorderColor(c.fwhm);
    fractionLimit_->setPen(QPen(c.limit, 1.5, Qt::DashLine));
    fwhmLimit_->setPen(QPen(c.fwhm, 1.5, Qt::DotLine));
    rejectedPoints_->setColor(Qt::transparent);
    rejectedPoints_->setBorderColor(c.rejected);
    rejectedPoints_->setPen(QPen(c.rejected, 2));
    selectedPoint_->setColor(Qt::transparent);
    selectedPoint_->setPen(QPen(c.selected, 2));
    setBackgroundBrush(c.ground);
}

void FrameChart::setFrames(const std::vector<FrameRecord>& frames) {
    points_.clear();
    for (const FrameRecord& frame : frames) {
        if (!frame.done()) continue;
        points_.push_back(
            {frame.number, frame.doubleFraction(), frame.measures.fwhm, frame.rejected});
    }
    redraw();
}

void FrameChart::setRule(const RejectionRule& rule) {
    rule_ = rule;
    redraw();
}

void FrameChart::setSelected(int number) {
    selected_ = number;
    redraw();
}

void FrameChart::redraw() {
    QList<QPointF> fractions;
    QList<QPointF> fwhms;
    QList<QPointF> rejected;
    QList<QPointF> selected;
    for (const Point& point : points_) {
        if (point.fraction) {
            fractions.append({static_cast<double>(point.number), *point.fraction});
            if (point.rejected) rejected.append(fractions.back());
            if (point.number == selected_) selected.append(fractions.back());
        }
        if (point.fwhm) fwhms.append({static_cast<double>(point.number), *point.fwhm});
    }
    fraction_->replace(fractions);
    fractionPoints_->replace(fractions);
    fwhm_->replace(fwhms);
    fwhmPoints_->replace(fwhms);
    rejectedPoints_->replace(rejected);
    selectedPoint_->replace(selected);
    fitAxes();
    drawLimits();
}

void FrameChart::fitAxes() {
    int last = 1;
    double fraction = 0;
    double fwhm = 0;
    for (const Point& point : points_) {
        last = std::max(last, point.number);
        fraction = std::max(fraction, point.fraction.value_or(0));
        fwhm = std::max(fwhm, point.fwhm.value_or(0));
    }
    x_->setRange(0.5, last + 0.5);
    // Whole numbers only: one tick per frame for a few, fewer for a night of them.
    const int step = last <= 12 ? 1 : last <= 60 ? 5 : last <= 120 ? 10 : 50;
    x_->setTickType(QValueAxis::TicksDynamic);
    x_->setTickAnchor(0);
    x_->setTickInterval(step);
    left_->setRange(0, topOf(std::max(fraction, rule_.byFraction ? rule_.fraction : 0), 0.1));
    right_->setRange(0, topOf(std::max(fwhm, rule_.byFwhm ? rule_.fwhm : 0), 1));
    left_->applyNiceNumbers();
    right_->applyNiceNumbers();
}

void FrameChart::drawLimits() {
    const double from = x_->min();
    const double to = x_->max();
    showLimit(fractionLimit_, left_, rule_.byFraction, rule_.fraction, from, to);
    showLimit(fwhmLimit_, right_, rule_.byFwhm, rule_.fwhm, from, to);
}

// A limit not in use leaves the chart, and so its legend; the view keeps the series meanwhile.
void FrameChart::showLimit(QLineSeries* limit, QValueAxis* axis, bool used, double value,
                           double from, double to) {
    const bool shown = limit->chart() != nullptr;
    if (used && !shown) {
        chart()->addSeries(limit);
        limit->attachAxis(x_);
        limit->attachAxis(axis);
    } else if (!used && shown) {
        chart()->removeSeries(limit);
        limit->setParent(this);
    }
    limit->replace(QList<QPointF>{{from, value}, {to, value}});
}

std::optional<QPoint> FrameChart::viewPoint(int number, const std::optional<double>& value,
                                            QScatterSeries* series) const {
    if (!value) return std::nullopt;
    const QPointF scene = chart()->mapToPosition({static_cast<double>(number), *value}, series);
    return mapFromScene(chart()->mapToScene(scene));
}

std::optional<QPoint> FrameChart::pointOf(int number) const {
    for (const Point& point : points_) {
        if (point.number != number) continue;
        if (point.fraction) return viewPoint(number, point.fraction, fractionPoints_);
        return viewPoint(number, point.fwhm, fwhmPoints_);
    }
    return std::nullopt;
}

void FrameChart::mousePressEvent(QMouseEvent* event) {
    int nearest = 0;
    double best = kReach;
    const QPointF at = event->position();
    for (const Point& point : points_) {
        for (const auto& [value, series] :
             {std::pair{point.fraction, fractionPoints_}, std::pair{point.fwhm, fwhmPoints_}}) {
            const std::optional<QPoint> where = viewPoint(point.number, value, series);
            if (!where) continue;
            const double distance = std::hypot(where->x() - at.x(), where->y() - at.y());
            if (distance <= best) {
                best = distance;
                nearest = point.number;
            }
        }
    }
    if (nearest > 0) {
        emit frameClicked(nearest);
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void FrameChart::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        applyColours();
    }
    QChartView::changeEvent(event);
}
