#pragma once

#include "platform/message_box.h"

// A modal QMessageBox with the program's title and an OK button, or "はい" and "いいえ".
class QtMessageBox : public MessageBox {
public:
    void show(QWidget* parent, const QString& text, const QString& detail = {}) override;
    bool ask(QWidget* parent, const QString& question) override;
};
