#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "platform/file_dialog_driver.h"

class QWidget;

// The one file dialog of the program. It keeps a single file name for every file operation of
// both windows: each dialog opens with the name left by the last one (or set just before), a
// chosen file's full path replaces it, a cancel leaves it as it was.
class FileDialog : public QObject {
    Q_OBJECT

public:
    FileDialog(FileDialogDriver& driver, QObject* parent = nullptr);

    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }

    // True when the user chose a file; the file name is then that file's path.
    bool showOpen(QWidget* parent);
    bool showSave(QWidget* parent, FileDialogDriver::ReplaceQuestion question =
                                       FileDialogDriver::ReplaceQuestion::Dialog);

private:
    bool take(const std::optional<QString>& chosen);

    FileDialogDriver& driver_;
    QString fileName_;
};
