#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Shows a file dialog and waits for the user. The real one shows Qt's dialogs; tests give
// scripted answers.
class FileDialogDriver {
public:
    // Who asks before an existing file is replaced: the save dialog about the chosen name, or
    // the caller, who writes another name than the one chosen.
    enum class ReplaceQuestion { Dialog, Caller };

    virtual ~FileDialogDriver() = default;

    // The chosen file's full path, or nothing when the user cancelled. `proposed` is the name
    // the dialog opens with (possibly empty).
    virtual std::optional<QString> open(QWidget* parent, const QString& proposed) = 0;
    virtual std::optional<QString> save(QWidget* parent, const QString& proposed,
                                        ReplaceQuestion question) = 0;
    // Several files to open at once, in `folder` (possibly empty); none when the user
    // cancelled.
    virtual QStringList openMany(QWidget* parent, const QString& folder) {
        const std::optional<QString> one = open(parent, folder);
        return one ? QStringList{*one} : QStringList();
    }
    // A folder; nothing when the user cancelled.
    virtual std::optional<QString> folder(QWidget*, const QString&) { return std::nullopt; }
};
