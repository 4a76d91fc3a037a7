#include "platform/file_dialog.h"

FileDialog::FileDialog(FileDialogDriver& driver, QObject* parent)
    : QObject(parent), driver_(driver) {}

bool FileDialog::showOpen(QWidget* parent) {
    return take(driver_.open(parent, fileName_));
}

bool FileDialog::showSave(QWidget* parent, FileDialogDriver::ReplaceQuestion question) {
    return take(driver_.save(parent, fileName_, question));
}

bool FileDialog::take(const std::optional<QString>& chosen) {
    // An empty answer is no choice: nothing can be opened or written under it.
    if (!chosen || chosen->isEmpty()) return false;
    fileName_ = *chosen;
    return true;
}
