#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "platform/file_dialog_driver.h"

// Answers file dialogs from a script and remembers what each one proposed.
class ScriptedFileDialogDriver : public FileDialogDriver {
public:
    struct Shown {
        bool save;
        QString proposed;
        // For a save: whether the dialog itself asks before replacing the chosen file.
        bool asksToReplace = false;
    };

    // The next dialog chooses this file (or folder).
    void choose(const QString& path) { answers_.push_back({true, {path}}); }
    // The next dialog chooses these files.
    void chooseAll(const QStringList& paths) { answers_.push_back({true, paths}); }
    // The next dialog is cancelled.
    void cancel() { answers_.push_back({false, {}}); }

    std::optional<QString> open(QWidget*, const QString& proposed) override {
        return answer({false, proposed});
    }
    std::optional<QString> save(QWidget*, const QString& proposed,
                                ReplaceQuestion question) override {
        return answer({true, proposed, question == ReplaceQuestion::Dialog});
    }
    QStringList openMany(QWidget*, const QString& folder) override {
        return answerAll({false, folder});
    }
    std::optional<QString> folder(QWidget*, const QString& proposed) override {
        return answer({false, proposed});
    }

    const std::deque<Shown>& shown() const { return shown_; }
    bool scriptUsedUp() const { return answers_.empty(); }

private:
    std::optional<QString> answer(const Shown& shown) {
        const QStringList chosen = answerAll(shown);
        if (chosen.isEmpty()) return std::nullopt;
        return chosen.constFirst();
    }
    QStringList answerAll(const Shown& shown) {
        shown_.push_back(shown);
        // A dialog nobody scripted is a test fault: cancel it rather than hang.
        if (answers_.empty()) return {};
        const Answer next = answers_.front();
        answers_.pop_front();
        if (!next.chosen) return {};
        return next.paths;
    }

    struct Answer {
        bool chosen;
        QStringList paths;
    };

    std::deque<Answer> answers_;
    std::deque<Shown> shown_;
};
