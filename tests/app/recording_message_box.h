#pragma once

#include <QString>
#include <deque>
#include <vector>

#include "platform/message_box.h"

// Keeps the messages instead of waiting for a click on OK, and answers questions from a script.
class RecordingMessageBox : public MessageBox {
public:
    struct Message {
        QString text;
        QString detail;
    };

    void show(QWidget*, const QString& text, const QString& detail) override {
        messages.push_back({text, detail});
    }
    // A question nobody scripted is answered "いいえ", so that nothing is replaced by mistake.
    bool ask(QWidget*, const QString& question) override {
        questions.push_back(question);
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    std::vector<Message> messages;
    std::vector<QString> questions;
    std::deque<bool> answers;  // true: "はい"
};
