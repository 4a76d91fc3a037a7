#pragma once

#include <QString>

class QWidget;

// The program's message box: the title "Quendra" and an OK button. Abstract so that tests can
// take the messages instead of waiting for a click.
class MessageBox {
public:
    static constexpr const char* kTitle = "Quendra";

    virtual ~MessageBox() = default;

    // Returns once the user has closed the box. `detail` is an optional second paragraph.
    virtual void show(QWidget* parent, const QString& text, const QString& detail = {}) = 0;
};
