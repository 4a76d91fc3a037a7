#pragma once

#include <QString>

class QWidget;

// The tooltips of both windows and the frame list, in Japanese: what each control does and, for
// a button with one, its shortcut. Controls are known by their object names ("Text1", "Text2(3)").
class ControlTips {
public:
    // The tip of the control of that name in the window of that name ("Form1", "Form2",
    // "FrameList"); empty for a name that has none.
    static QString of(const QString& window, const QString& control);
    // Gives every control of the window its tip.
    static void apply(QWidget& window);
};
