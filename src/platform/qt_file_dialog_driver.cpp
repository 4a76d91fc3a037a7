#include "platform/qt_file_dialog_driver.h"

#include <QFileDialog>

namespace {

std::optional<QString> answer(const QString& chosen) {
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

}  // namespace

std::optional<QString> QtFileDialogDriver::open(QWidget* parent, const QString& proposed) {
    return answer(QFileDialog::getOpenFileName(parent, QString(), proposed));
}

std::optional<QString> QtFileDialogDriver::save(QWidget* parent, const QString& proposed) {
    return answer(QFileDialog::getSaveFileName(parent, QString(), proposed));
}
