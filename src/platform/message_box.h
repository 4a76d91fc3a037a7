#pragma once

#include <QString>

class QWidget;

// The program's message box: the title "Quendra" and an OK button, or "はい" and "いいえ" for a
// question. Abstract so that tests can take the messages and answer instead of the user.
class MessageBox {
public:
    static constexpr const char* kTitle = "Quendra";

    virtual ~MessageBox() = default;

    // Returns once the user has closed the box. `detail` is an optional second paragraph.
    virtual void show(QWidget* parent, const QString& text, const QString& detail = {}) = 0;
    // True when the user answered "はい"; closing the box answers "いいえ".
    virtual bool ask(QWidget* parent, const QString& question) = 0;
};
