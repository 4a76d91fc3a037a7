#include "platform/qt_file_dialog_driver.h"

#include <QFileDialog>

namespace {

std::optional<QString> answer(const QString& chosen) {
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

}  // namespace

std::optional<QString> QtFileDialogDriver::open(QWidget* parent, const QString& proposed) {
    return answer(QFileDialog::getOpenFileName(parent, QString(), proposed, QString(), nullptr,
                                               QFileDialog::DontUseNativeDialog));
}

std::optional<QString> QtFileDialogDriver::save(QWidget* parent, const QString& proposed,
                                                ReplaceQuestion question) {
    QFileDialog::Options options = QFileDialog::DontUseNativeDialog;
    if (question == ReplaceQuestion::Caller) options |= QFileDialog::DontConfirmOverwrite;
    return answer(
        QFileDialog::getSaveFileName(parent, QString(), proposed, QString(), nullptr, options));
}

QStringList QtFileDialogDriver::openMany(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileNames(parent, QString(), folder, QString(), nullptr,
                                         QFileDialog::DontUseNativeDialog);
}

std::optional<QString> QtFileDialogDriver::folder(QWidget* parent, const QString& proposed) {
    return answer(QFileDialog::getExistingDirectory(
        parent, QString(), proposed, QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly));
}
