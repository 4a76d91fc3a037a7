// The windows on a screen 1000 pixels high at a scale factor of 2: 500 of the program's pixels,
// less than the main window's 524.
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>

#include "app/application_setup.h"
#include "app/plot_view.h"
#include "app/window_look.h"
#include "system/process_tuning.h"
#include "window_fixture.h"

namespace {

constexpr QSize kScreen(1600, 1000);

// Counts the times a window is brought to the front.
class RaiseCounter : public QObject {
public:
    explicit RaiseCounter(QWidget& window) { window.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ZOrderChange) ++count;
        return false;
    }
};

}  // namespace

class HighDpiTest : public QObject, private WindowFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(openWindows()); }
    void cleanup() { QVERIFY(closeWindows()); }

    // The whole main window is on the screen: its plot area is shorter, its controls are where
    // they always are.
    void mainWindowShrinksItsPlotAreaToTheScreen() {
        const QRect screen = form1().screen()->availableGeometry();
        QCOMPARE(screen.size(), kScreen / 2);
        QVERIFY(screen.contains(form1().frameGeometry()));
        QVERIFY(form1().height() < 524);
        QVERIFY(form1().height() > 136 + 64 - 1);
        QCOMPARE(form1().width(), 639);
        QCOMPARE(control<QPushButton>(form1(), "Command1")->geometry(), QRect(416, 96, 121, 33));
        QCOMPARE(control<PlotView>(form1(), "Picture1")->pos(), QPoint(8, 136));
        // The status line stays whole at the bottom, over the shortened plot area.
        QCOMPARE(control<QWidget>(form1(), "StatusLine")->geometry(),
                 QRect(0, form1().height() - 36, 639, 36));
    }

    // With no room beside the main window, the double-star window is whole on the screen, as
    // low as it goes, and the main window's buttons can still be clicked.
    void doubleStarWindowIsShownWholeAndLeavesTheButtonsFree() {
        click(form1(), "Command9");
        QVERIFY(QTest::qWaitForWindowExposed(&form2()));
        const QRect screen = form1().screen()->availableGeometry();
        QVERIFY(screen.contains(form2().frameGeometry()));
        QCOMPARE(form2().frameGeometry().bottom(), screen.bottom());
        for (const char* name : {"Command1", "Command2", "Command3", "Command9"}) {
            auto* button = control<QPushButton>(form1(), name);
            const QPoint middle = button->mapToGlobal(button->rect().center());
            QVERIFY2(!form2().frameGeometry().contains(middle), name);
        }
    }

    // Where the windows overlap, "描画" brings the double-star window to the front after the run,
    // so that its counts are seen; the focus stays in the main window.
    void drawRaisesTheOverlappingDoubleStarWindow() {
        click(form1(), "Command9");
        QVERIFY(QTest::qWaitForWindowExposed(&form2()));
        QVERIFY(form2().frameGeometry().intersects(form1().frameGeometry()));
        writeFile(path("m42.txt"), "M42\r\n1,400,100,100,0,0,30,30,5,6,45,0.9\r\n");
        dialogs_->choose(path("m42.txt"));
        click(form1(), "Command3");
        form1().raise();
        form1().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form1()));
        QTest::qWait(100);  // the showing's own raise, once the window is on the screen, first
        RaiseCounter raised(form2());
        click(form1(), "Command1");
        QCOMPARE(raised.count, 1);
        QCOMPARE(QApplication::activeWindow(), &form1());
        // A run that does not complete leaves the windows as they are.
        dialogs_->choose(path("missing.txt"));
        click(form1(), "Command3");
        click(form1(), "Command1");
        QCOMPARE(raised.count, 1);
    }
};

int main(int argc, char** argv) {
    tuneProcess();
    QTemporaryFile screens;
    if (!screens.open()) return 1;
    screens.write(QStringLiteral(R"({"screens": [{"name": "tall", "x": 0, "y": 0, "width": %1,
        "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                      .arg(kScreen.width())
                      .arg(kScreen.height())
                      .toUtf8());
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    setUpApplication();
    applyWindowLook();
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "high_dpi_test.moc"
