#include "app/threshold_cell.h"

#include <QEvent>

#include "app/window_look.h"
#include "platform/qt_text.h"
#include "text/number_text.h"
#include "text/parse_number.h"

ThresholdCell::ThresholdCell(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &ThresholdCell::check);
    check();
}

void ThresholdCell::setTip(const QString& tip) {
    tip_ = tip;
    check();
}

void ThresholdCell::check() {
    const std::string typed = text().toStdString();
    warned_ = !IsWholeNumber(typed);
    QString tip = tip_;
    if (warned_) {
        const QString reads = qtText(numberText(ParseNumber(typed)));
        const QString warning = text().trimmed().isEmpty()
                                    ? QStringLiteral("空欄は 0 と読みます。")
                                    : QStringLiteral(
                                          "「%1」は数として %2 と読みます。\n数だけを入れてください"
                                          "（小数点は「.」）。")
                                          .arg(text(), reads);
        tip = tip.isEmpty() ? warning : warning + QLatin1Char('\n') + tip;
    }
    setToolTip(tip);
    showLook();
}

void ThresholdCell::showLook() {
    // Only the two roles are the cell's own; everything else follows the application's look.
    QPalette look;
    if (warned_) {
        const WarningColours colours = warningColours();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            look.setColor(group, QPalette::Base, colours.ground);
            look.setColor(group, QPalette::Text, colours.text);
        }
    }
    showing_ = true;
    setPalette(look);
    showing_ = false;
}

void ThresholdCell::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    // The application's look changed (night mode): the warning takes that look's colours.
    if (event->type() == QEvent::PaletteChange && !showing_) showLook();
}
