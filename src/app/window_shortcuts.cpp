#include "app/window_shortcuts.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>

#include "app/double_star_window.h"
#include "app/main_window.h"

namespace {

// From the camera buttons on, row by row as the eye reads the window.
constexpr const char* kTabOrder[] = {
    "Option1(0)", "Option1(1)", "Option1(2)", "Text1",     "Text2",    "Command7", "Text9",
    "HScroll2",   "Text7",      "Text8",      "Command3",  "Text3",    "HScroll1", "Check1",
    "Command9",   "Command8",   "Check2",     "Command10", "Command1", "Command2"};

}  // namespace

WindowShortcuts::WindowShortcuts(MainWindow& form1, DoubleStarWindow& form2)
    : QObject(&form1), form1_(form1), form2_(form2) {
    add(QKeySequence(Qt::CTRL | Qt::Key_O), &MainWindow::chooseStarList);
    add(QKeySequence(Qt::Key_F5), &MainWindow::draw);
    add(QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveImage);
    add(QKeySequence(Qt::CTRL | Qt::Key_Q), &MainWindow::quit);
    add(QKeySequence(Qt::CTRL | Qt::Key_D), &MainWindow::toggleDoubleStarWindow);
    add(QKeySequence(Qt::CTRL | Qt::Key_L), &MainWindow::showFrameList);
    add(QKeySequence(Qt::Key_F1), &MainWindow::showAbout);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* menu = new QShortcut(keys, &form1_);
        connect(menu, &QShortcut::activated, &form1_, &MainWindow::popUpPlotMenu);
    }
    auto* hide = new QShortcut(QKeySequence(Qt::Key_Escape), &form2_);
    connect(hide, &QShortcut::activated, this, [this] {
        form2_.hide();
        form1_.activateWindow();
    });
    for (QWidget* window : {static_cast<QWidget*>(&form1_), static_cast<QWidget*>(&form2_)}) {
        for (QLineEdit* box : window->findChildren<QLineEdit*>()) box->installEventFilter(this);
    }
    orderTabs();
}

void WindowShortcuts::add(const QKeySequence& keys, void (MainWindow::*step)()) {
    // Both windows, and the viewer of the whole plot, take them; a modal dialog keeps them.
    auto* shortcut = new QShortcut(keys, &form1_);
    shortcut->setContext(Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, &form1_, [this, step] {
        // A run locks the windows: nothing starts while it goes on.
        if (!form1_.running()) (form1_.*step)();
    });
    taken_.append(keys);
}

bool WindowShortcuts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (taken_.contains(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowShortcuts::orderTabs() {
    for (auto* bar : form1_.findChildren<QScrollBar*>()) {
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setInvertedControls(false);  // the right arrow moves the thumb to the right
    }
    QWidget* previous = nullptr;
    for (const char* name : kTabOrder) {
        auto* next = form1_.findChild<QWidget*>(QLatin1String(name));
        if (next == nullptr) continue;
        if (previous != nullptr) QWidget::setTabOrder(previous, next);
        previous = next;
    }
}
