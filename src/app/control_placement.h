#pragma once

#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QWidget>

// The windows are laid out by hand at fixed positions; every control carries its name (with the
// index for an element of a control array, "Text2(3)") as its object name.

inline QString indexedName(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

template <class Control>
Control* placeControl(QWidget* parent, const QString& name, const QRect& where) {
    auto* control = new Control(parent);
    control->setObjectName(name);
    control->setGeometry(where);
    return control;
}

template <class Control>
Control* placeControl(QWidget* parent, const QString& name, const QRect& where,
                      const QString& caption) {
    auto* control = placeControl<Control>(parent, name, where);
    control->setText(caption);
    return control;
}

// Return and Enter press a focused button, as Space does, as on the desktop the program comes
// from.
inline QPushButton* placeButton(QWidget* parent, const QString& name, const QRect& where,
                                const QString& caption) {
    auto* button = placeControl<QPushButton>(parent, name, where, caption);
    button->setAutoDefault(true);
    return button;
}

// Labels keep their caption in the top-left corner, where a taller control beside them starts.
inline QLabel* placeLabel(QWidget* parent, const QString& name, const QRect& where,
                          const QString& caption) {
    auto* label = placeControl<QLabel>(parent, name, where, caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// The double-star window's positions are given in twips; 15 twips make one pixel.
inline QRect fromTwips(int left, int top, int width, int height) {
    const auto px = [](int twips) { return (twips + 7) / 15; };
    return {px(left), px(top), px(width), px(height)};
}
