#pragma once

#include <QFile>
#include <QImage>
#include <QPointF>
#include <QString>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <stdexcept>

// Finds a control by its object name; a missing control fails the test at once.
template <class Control>
Control* control(const QWidget& window, const QString& name) {
    auto* found = window.findChild<Control*>(name);
    if (found == nullptr) {
        throw std::runtime_error(
            QStringLiteral("no control %1 in %2").arg(name, window.objectName()).toStdString());
    }
    return found;
}

inline void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        throw std::runtime_error(("cannot write " + path).toStdString());
    }
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// A photograph of five round Gaussian stars on a slightly noisy sky, as a grey PNG.
inline void writePhotograph(const QString& path, QSize size) {
    QImage sky(size, QImage::Format_Grayscale8);
    const QPointF stars[] = {{60, 50}, {200, 80}, {330, 200}, {120, 230}, {260, 150}};
    unsigned state = 12345;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            state = state * 1103515245u + 12345u;
            double value = 20 + static_cast<double>((state >> 16) % 5);
            for (const QPointF& star : stars) {
                const double dx = x - star.x();
                const double dy = y - star.y();
                value += 200 * std::exp(-(dx * dx + dy * dy) / 8);
            }
            sky.setPixel(x, y, qRgb(0, 0, 0) | static_cast<uint>(std::min(value, 250.0)));
        }
    }
    if (!sky.save(path, "PNG")) throw std::runtime_error("cannot write the photograph");
}
