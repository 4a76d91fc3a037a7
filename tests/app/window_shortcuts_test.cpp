// The keyboard of both windows, the tooltips of every control and the about box.
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "app/about_box.h"
#include "app/application_setup.h"
#include "app/frame_list_window.h"
#include "app/window_look.h"
#include "system/process_tuning.h"
#include "window_fixture.h"

namespace {

const QByteArray kOneSingleStar = "M42\r\n1,400,100,100,0,0,30,30,5,6,45,0.9\r\n";

bool hasJapanese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 0x3040 && c.unicode() <= 0x30FF) ||
               (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF);
    });
}

}  // namespace

class WindowShortcutsTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    // Keys as the user types them: to the widget with the focus.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus != nullptr);
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
        QVERIFY(waitForRun());
    }
    void focusOn(QWidget& window, const char* name) {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        control<QWidget>(window, name)->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), control<QWidget>(window, name));
    }
    QString count(const char* column, int row) {
        return control<QLabel>(form2(), QStringLiteral("%1(%2)").arg(column).arg(row))->text();
    }

private slots:
    void init() { QVERIFY(openWindows()); }
    void cleanup() { QVERIFY2(closeWindows(), "a scripted dialog answer was not used"); }

    // Each shortcut does what its button does, also from a text box and from the double-star
    // window; showing that window with the keyboard leaves the focus where it was.
    void shortcutsDoWhatTheirButtonsDo() {
        focusOn(form1(), "Text3");
        writeFile(path("m42.txt"), kOneSingleStar);
        dialogs_->choose(path("m42.txt"));
        press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(form1().starFile(), path("m42.txt"));
        press(Qt::Key_F5);
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));
        dialogs_->cancel();
        press(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(dialogs_->shown().back().save);

        // In a text box Ctrl+D would delete a character; here it shows the double-star window.
        auto* size = control<QLineEdit>(form1(), "Text3");
        size->setCursorPosition(0);
        press(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(form2().isVisible());
        QCOMPARE(size->text(), QStringLiteral("30"));
        QCOMPARE(QApplication::focusWidget(), size);
        QTRY_COMPARE(QApplication::activeWindow(), &form1());
        press(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(!form2().isVisible());

        // From a cell of the double-star window: F5 and Return draw, Escape hides the window.
        press(Qt::Key_D, Qt::ControlModifier);
        focusOn(form2(), "Text1(1)");
        QSignalSpy runs(&form1(), &MainWindow::runFinished);
        press(Qt::Key_F5);
        press(Qt::Key_Return);
        QCOMPARE(runs.count(), 2);
        press(Qt::Key_L, Qt::ControlModifier);
        QVERIFY(form1().frameList() != nullptr && form1().frameList()->isVisible());
        form1().frameList()->hide();
        focusOn(form2(), "Text1(1)");
        press(Qt::Key_Escape);
        QVERIFY(!form2().isVisible());

        // The plot's menu from the keyboard.
        focusOn(form1(), "Command1");
        for (const QKeyCombination keys :
             {QKeyCombination(Qt::Key_Menu), QKeyCombination(Qt::ShiftModifier, Qt::Key_F10)}) {
            press(keys.key(), keys.keyboardModifiers());
            QTRY_VERIFY(form1().plotMenu().isVisible());
            form1().plotMenu().hide();
        }

        focusOn(form1(), "Text1");
        press(Qt::Key_F1);
        QVERIFY(form1().aboutBox() != nullptr && form1().aboutBox()->isVisible());
        focusOn(form1(), "Text1");
        QSignalSpy quit(&form1(), &MainWindow::quitRequested);
        press(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.count(), 1);
        QVERIFY(!form1().isVisible());
        QVERIFY(messages_->messages.empty());
    }

    // Tab goes from the camera buttons through every control of the window, the scroll bars
    // among them, and back to the cameras.
    void tabOrderStartsAtTheCamerasAndPassesTheScrollBars() {
        focusOn(form1(), "Command2");
        QStringList order;
        for (int i = 0; i < 19; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        // The camera buttons are one stop; the arrow keys move between them.
        QCOMPARE(order, QStringList({"Option1(0)", "Text1", "Text2", "Command7", "Text9",
                                     "HScroll2", "Text7", "Text8", "Command3", "Text3", "HScroll1",
                                     "Check1", "Command9", "Command8", "Check2", "Command1",
                                     "Command2", "Option1(0)", "Text1"}));
        // A scroll bar reached by Tab moves with the arrow keys, and its text follows.
        focusOn(form1(), "HScroll1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(control<QLineEdit>(form1(), "Text3")->text(), QStringLiteral("31"));
    }

    // Every control of both windows and of the status line tells in Japanese what it does.
    void everyControlHasAJapaneseTooltip() {
        for (QWidget* window : {static_cast<QWidget*>(&form1()), &form2()}) {
            for (const QWidget* child : window->findChildren<QWidget*>()) {
                const QString name = child->objectName();
                // Menus and the status line's frame are no controls; a window the main window
                // owns (the star-shape map's) is not the main window's.
                if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
                    name == QLatin1String("StatusLine") || qobject_cast<const QMenu*>(child) ||
                    child->window() != window) {
                    continue;
                }
                QVERIFY2(hasJapanese(child->toolTip()), qPrintable(name));
            }
        }
        QVERIFY(control<QWidget>(form1(), "Command1")->toolTip().contains(QStringLiteral("F5")));
        // The frame list's buttons, check boxes and limits too (the views' own parts aside).
        form1().showFrameList();
        int tipped = 0;
        for (const QWidget* child : form1().frameList()->findChildren<QWidget*>()) {
            if (!child->objectName().isEmpty() && !child->objectName().startsWith("qt_") &&
                (qobject_cast<const QAbstractButton*>(child) ||
                 qobject_cast<const QAbstractSpinBox*>(child))) {
                ++tipped;
                QVERIFY2(hasJapanese(child->toolTip()), qPrintable(child->objectName()));
            }
        }
        QCOMPARE(tipped, 15);
    }

    // "Quendra について": version, licence and the libraries in use, from F1 or the plot's menu.
    void aboutBoxNamesTheVersionsInUse() {
        control<QAction>(form1().plotMenu(), "About")->trigger();
        AboutBox* about = form1().aboutBox();
        QVERIFY(about != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QCOMPARE(about->windowTitle(), QStringLiteral("Quendra について"));
        QVERIFY(!about->isModal());
        QCOMPARE(control<QLabel>(*about, "AboutName")->text(), QStringLiteral("Quendra Ver.1.51"));
        QVERIFY(control<QLabel>(*about, "AboutLicence")->text().contains("GPL-3.0-or-later"));
        const QStringList libraries = AboutBox::libraries().split(QLatin1Char('\n'));
        QCOMPARE(libraries.value(0), QStringLiteral("Qt ") + QLatin1String(qVersion()));
        for (const char* name : {"SEP", "CFITSIO", "LibRaw"}) {
            const auto line =
                std::find_if(libraries.begin(), libraries.end(), [&](const QString& l) {
                    return l.startsWith(QLatin1String(name) + QLatin1Char(' '));
                });
            QVERIFY2(line != libraries.end(), name);
            QVERIFY2(line->contains(QRegularExpression(QStringLiteral(" \\d+\\.\\d+\\.\\d+"))),
                     qPrintable(*line));
        }
        QVERIFY(control<QLabel>(*about, "AboutLibraries")->text().contains(libraries.join('\n')));
    }
};

int main(int argc, char** argv) {
    tuneProcess();
    QApplication application(argc, argv);
    if (!setUpApplication()) return 1;
    applyWindowLook();
    WindowShortcutsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_shortcuts_test.moc"
