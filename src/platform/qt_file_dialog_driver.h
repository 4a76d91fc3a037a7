#pragma once

#include "platform/file_dialog_driver.h"

// Qt's own open and save dialogs: no filter, no default extension, no title of their own. Never
// the desktop's native dialog, which would speak the desktop's language instead of Japanese.
class QtFileDialogDriver : public FileDialogDriver {
public:
    std::optional<QString> open(QWidget* parent, const QString& proposed) override;
    std::optional<QString> save(QWidget* parent, const QString& proposed,
                                ReplaceQuestion question) override;
    QStringList openMany(QWidget* parent, const QString& folder) override;
    std::optional<QString> folder(QWidget* parent, const QString& proposed) override;
};
