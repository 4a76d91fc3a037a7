#pragma once

#include <QChartView>
#include <optional>
#include <vector>

#include "app/frame_record.h"
#include "app/rejection_rule.h"

class QLineSeries;
class QScatterSeries;
class QValueAxis;

// The chart of the frame list: the double-star fraction (left axis) and the median FWHM (right
// axis) of every completed frame, across the frames in the order of their numbers, with the
// rejection limits as lines and the rejected frames marked. A click on a point selects its frame.
// Its colours follow the palette: dim red on black in the night look.
class FrameChart : public QChartView {
    Q_OBJECT

public:
    // How near a click must come to a point, in pixels.
    static constexpr double kReach = 12;

    explicit FrameChart(QWidget* parent = nullptr);

    void setFrames(const std::vector<FrameRecord>& frames);
    void setRule(const RejectionRule& rule);
    // 0: none.
    void setSelected(int number);
    // Where a frame's point is in the view (its fraction's, else its FWHM's); nothing when the
    // chart has none.
    std::optional<QPoint> pointOf(int number) const;
    // How many frames the chart shows.
    int frameCount() const { return static_cast<int>(points_.size()); }

signals:
    void frameClicked(int number);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Point {
        int number = 0;
        std::optional<double> fraction;
        std::optional<double> fwhm;
        bool rejected = false;
    };

    void build();
    void redraw();
    void fitAxes();
    void drawLimits();
    void showLimit(QLineSeries* limit, QValueAxis* axis, bool used, double value, double from,
                   double to);
    void applyColours();
    std::optional<QPoint> viewPoint(int number, const std::optional<double>& value,
                                    QScatterSeries* series) const;

    std::vector<Point> points_;
    RejectionRule rule_;
    int selected_ = 0;
    QLineSeries* fraction_ = nullptr;
    QScatterSeries* fractionPoints_ = nullptr;
    QLineSeries* fwhm_ = nullptr;
    QScatterSeries* fwhmPoints_ = nullptr;
    QScatterSeries* rejectedPoints_ = nullptr;
    QScatterSeries* selectedPoint_ = nullptr;
    QLineSeries* fractionLimit_ = nullptr;
    QLineSeries* fwhmLimit_ = nullptr;
    QValueAxis* x_ = nullptr;
    QValueAxis* left_ = nullptr;
    QValueAxis* right_ = nullptr;
};
