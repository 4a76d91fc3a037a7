#pragma once

#include <QFile>
#include <QString>
#include <QTest>
#include <QWidget>
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
