#include "app/window_look.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

#include "app/compact_style.h"

void applyWindowLook() {
    QFont font;
    // Other Japanese fonts stand in where this one is missing.
    const QStringList families = {
        QString::fromLatin1("Noto Sans CJK JP"), QString::fromLatin1("Noto Sans JP"),
        QString::fromLatin1("IPAGothic"), QString::fromLatin1("Sans Serif")};
    font.setFamilies(families);
    font.setPixelSize(12);
    QApplication::setFont(font);
    auto* style = new CompactStyle;
    style->setParent(qApp);  // lives as long as the application
    QApplication::setStyle(style);
}
