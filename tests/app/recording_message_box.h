#pragma once

#include <QString>
#include <vector>

#include "platform/message_box.h"

// Keeps the messages instead of waiting for a click on OK.
class RecordingMessageBox : public MessageBox {
public:
    struct Message {
        QString text;
        QString detail;
    };

    void show(QWidget*, const QString& text, const QString& detail) override {
        messages.push_back({text, detail});
    }

    std::vector<Message> messages;
};
