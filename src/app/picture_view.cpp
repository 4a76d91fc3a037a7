#include "app/picture_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 90);
}

void PictureView::setPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

QRectF PictureView::shownAt() const {
    if (picture_.isNull()) return {};
    const QSizeF size = QSizeF(picture_.size()).scaled(QSizeF(this->size()), Qt::KeepAspectRatio);
    return {QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

int PictureView::deviceWidth() const {
    return static_cast<int>(std::lround(width() * devicePixelRatioF()));
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (picture_.isNull()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(shownAt(), picture_);
}
