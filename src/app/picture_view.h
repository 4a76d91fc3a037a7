#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

// A picture fitted into the widget with its aspect ratio kept, centred, drawn smoothly. A
// picture drawn for this widget's width in device pixels is shown one to one.
class PictureView : public QWidget {
public:
    explicit PictureView(QWidget* parent = nullptr);

    void setPicture(QImage picture);
    const QImage& picture() const { return picture_; }
    // Where the picture is drawn, in the widget's coordinates; empty without a picture.
    QRectF shownAt() const;
    // The width in device pixels a picture needs to be shown one to one across the widget.
    int deviceWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};
