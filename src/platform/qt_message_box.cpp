#include "platform/qt_message_box.h"

#include <QMessageBox>
#include <QPushButton>

void QtMessageBox::show(QWidget* parent, const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kTitle), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (!detail.isEmpty()) box.setInformativeText(detail);
    box.exec();
}

bool QtMessageBox::ask(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kTitle), question,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    // Nothing is replaced by a hasty Enter.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
