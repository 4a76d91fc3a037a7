#include "app/window_look.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStringList>
#include <optional>

#include "app/compact_style.h"

namespace {

// The brightest red of the night look: enough to read, not enough to dazzle.
constexpr int kNightRed = 170;

QColor red(int level) {
    return {level, 0, 0};
}

QPalette nightPalette() {
    QPalette night;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        night.setColor(group, QPalette::Window, Qt::black);
        night.setColor(group, QPalette::WindowText, red(kNightRed));
        night.setColor(group, QPalette::Base, red(18));
        night.setColor(group, QPalette::AlternateBase, red(28));
        night.setColor(group, QPalette::Text, red(kNightRed));
        night.setColor(group, QPalette::PlaceholderText, red(90));
        night.setColor(group, QPalette::Button, red(30));
        night.setColor(group, QPalette::ButtonText, red(kNightRed));
        night.setColor(group, QPalette::BrightText, red(200));
        night.setColor(group, QPalette::Light, red(60));
        night.setColor(group, QPalette::Midlight, red(45));
        night.setColor(group, QPalette::Mid, red(25));
        night.setColor(group, QPalette::Dark, red(15));
        night.setColor(group, QPalette::Shadow, Qt::black);
        // A selection and the item under the pointer read at least as well as any other text.
        night.setColor(group, QPalette::Highlight, red(45));
        night.setColor(group, QPalette::HighlightedText, red(200));
        night.setColor(group, QPalette::ToolTipBase, Qt::black);
        night.setColor(group, QPalette::ToolTipText, red(kNightRed));
        night.setColor(group, QPalette::Link, red(200));
    }
    night.setColor(QPalette::Disabled, QPalette::Window, Qt::black);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        night.setColor(QPalette::Disabled, role, red(80));
    }
    night.setColor(QPalette::Disabled, QPalette::Base, Qt::black);
    night.setColor(QPalette::Disabled, QPalette::Button, red(15));
    return night;
}

QList<QRgb> coloursOf(bool night) {
    QList<QRgb> colours;
    colours.reserve(256);
    for (int g = 0; g < 256; ++g) {
        // At night the dark stars glow and the white ground goes black.
        colours.append(night ? qRgb((255 - g) * kNightRed / 255, 0, 0) : qRgb(g, g, g));
    }
    return colours;
}

std::optional<QPalette>& dayPalette() {
    static std::optional<QPalette> day;
    return day;
}

}  // namespace

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

void applyNightLook(bool on) {
    std::optional<QPalette>& day = dayPalette();
    if (on) {
        if (!day) day = QApplication::palette();
        QApplication::setPalette(nightPalette());
    } else if (day) {
        // Forgotten first: the widgets that follow the change ask which look is shown.
        const QPalette shown = *day;
        day.reset();
        QApplication::setPalette(shown);
    }
}

bool nightLookShown() {
    return dayPalette().has_value();
}

WarningColours warningColours() {
    if (nightLookShown()) return {red(110), Qt::black, red(230)};
    return {QColor(255, 226, 150), Qt::black, QColor(170, 60, 0)};
}

const QList<QRgb>& plotScreenColours(bool night) {
    static const QList<QRgb> day = coloursOf(false);
    static const QList<QRgb> dark = coloursOf(true);
    return night ? dark : day;
}
