#include "platform/qt_message_box.h"

#include <QMessageBox>

void QtMessageBox::show(QWidget* parent, const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kTitle), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (!detail.isEmpty()) box.setInformativeText(detail);
    box.exec();
}
