#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/double_star_window.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/window_look.h"
#include "platform/file_dialog.h"
#include "recording_message_box.h"
#include "scripted_file_dialog_driver.h"
#include "window_fixture.h"
#include "window_test_support.h"

namespace {

// One star of area 400 (class "300-") at (100, 100): a single star with the initial limits.
const QByteArray kOneSingleStar = "M42\r\n1,400,100,100,0,0,30,30,5,6,45,0.9\r\n";
// A star of class "10-19" at (200, 50), double by its shape with the initial limits.
const QByteArray kOneDoubleStar = "M42\r\n1,15,200,50,0,0,5,5,4,6,10,0.5\r\n";
// A star of area 400 whose sub-pixel edge shows around a 2 × 2 core at (100, 100).
const QByteArray kShadedStar = "M42\r\n1,400,100.9,100.9,0,0,30,30,5,6,45,0.55\r\n";
// Record 2 is numbered 3: the run stops after drawing record 1 at (300, 80).
const QByteArray kMismatch =
    "M42\r\n1,400,300,80,0,0,30,30,5,6,45,0.9\r\n3,400,500,80,0,0,30,30,5,6,45,0.9\r\n";

// Whether the plot has a dark pixel within two pixels of (x, y).
bool darkNear(const RasterSurface& plot, int x, int y) {
    for (int j = y - 2; j <= y + 2; ++j) {
        for (int i = x - 2; i <= x + 2; ++i) {
            if (plot.at(i, j) < 128) return true;
        }
    }
    return false;
}

// The number of pixels around the test stars whose grey lies in [low, high].
int greysBetween(const RasterSurface& plot, int low, int high) {
    int found = 0;
    for (int j = 0; j < 120; ++j) {
        for (int i = 0; i < 120; ++i) found += plot.at(i, j) >= low && plot.at(i, j) <= high;
    }
    return found;
}

}  // namespace

class MainWindowTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    QString text(const char* name) { return control<QLineEdit>(form1(), name)->text(); }
    QString count(const char* column, int row) {
        return control<QLabel>(form2(), indexedName(column, row))->text();
    }
    static QString indexedName(const char* name, int index) {
        return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
    }
    const RasterSurface& plot() { return form1_->plot().surface(); }
    void showForm2() {
        if (!form2().isVisible()) click(form1(), "Command9");
    }
    // Chooses a star list with "解析データ" and draws it.
    void drawFile(const QString& name, const QByteArray& content) {
        writeFile(path(name), content);
        dialogs_->choose(path(name));
        click(form1(), "Command3");
        click(form1(), "Command1");
    }

private slots:
    void init() { QVERIFY(openWindows()); }

    void cleanup() { QVERIFY2(closeWindows(), "a scripted dialog answer was not used"); }

    void startUpState() {
        QCOMPARE(form1().windowTitle(), QStringLiteral("Quendra Ver.1.51"));
        QCOMPARE(form1().size(), QSize(639, 524));
        auto* picture = control<PlotView>(form1(), "Picture1");
        QCOMPARE(picture->pos(), QPoint(8, 136));
        QCOMPARE(picture->size(), QSize(3902, 2596));
        QCOMPARE(QSize(plot().width(), plot().height()), QSize(3902, 2596));
        QVERIFY(control<QPushButton>(form1(), "Command10")->isHidden());
        QVERIFY(control<QCheckBox>(form1(), "Check1")->isChecked());
        QVERIFY(control<QCheckBox>(form1(), "Check2")->isChecked());
        QVERIFY(control<QRadioButton>(form1(), "Option1(1)")->isChecked());
        QVERIFY(!control<QRadioButton>(form1(), "Option1(0)")->isChecked());
        QVERIFY(form1().starFile().isEmpty());
        const QStringList texts = {text("Text1"), text("Text2"), text("Text3"),
                                   text("Text7"), text("Text8"), text("Text9")};
        QCOMPARE(texts, QStringList({"3902", "2596", "30", "0", "10000", "0"}));
        QCOMPARE(form1().commonDialog().objectName(), QStringLiteral("CommonDialog1"));
        QVERIFY(form1().commonDialog().fileName().isEmpty());
        QCOMPARE(form2().objectName(), QStringLiteral("Form2"));
        QVERIFY(!form2().isVisible());
        QVERIFY(messages_->messages.empty());
    }

    // A preset sizes the plot at once and always in landscape; the swap only exchanges texts.
    void cameraPresetsAndSwap() {
        click(form1(), "Option1(0)");
        QCOMPARE(QSize(plot().width(), plot().height()), QSize(3034, 2018));
        QCOMPARE(control<PlotView>(form1(), "Picture1")->size(), QSize(3034, 2018));
        QCOMPARE(text("Text1"), QStringLiteral("3034"));
        QCOMPARE(text("Text2"), QStringLiteral("2018"));

        click(form1(), "Command7");
        QCOMPARE(text("Text1"), QStringLiteral("2018"));
        QCOMPARE(text("Text2"), QStringLiteral("3034"));
        QCOMPARE(QSize(plot().width(), plot().height()), QSize(3034, 2018));
        QVERIFY(control<QRadioButton>(form1(), "Option1(0)")->isChecked());
        click(form1(), "Command7");
        QCOMPARE(text("Text1"), QStringLiteral("3034"));

        control<QLineEdit>(form1(), "Text1")->setText(QStringLiteral("abc"));
        click(form1(), "Command7");
        QCOMPARE(text("Text2"), QStringLiteral("abc"));
        QCOMPARE(text("Text1"), QStringLiteral("2018"));

        // Clicking the preset already selected undoes the swap.
        click(form1(), "Option1(0)");
        QCOMPARE(text("Text1"), QStringLiteral("3034"));
        QCOMPARE(text("Text2"), QStringLiteral("2018"));

        click(form1(), "Option1(2)");
        QCOMPARE(QSize(plot().width(), plot().height()), QSize(3906, 2602));
        QCOMPARE(text("Text1"), QStringLiteral("3906"));
        QCOMPARE(text("Text2"), QStringLiteral("2602"));
        QVERIFY(!control<QRadioButton>(form1(), "Option1(0)")->isChecked());
    }

    void scrollBarsFollowValueChangesOnly() {
        auto* size = control<QScrollBar>(form1(), "HScroll1");
        auto* grey = control<QScrollBar>(form1(), "HScroll2");
        QCOMPARE(size->orientation(), Qt::Horizontal);
        QCOMPARE(std::make_pair(size->minimum(), size->maximum()), std::make_pair(1, 60));
        QCOMPARE(std::make_pair(grey->minimum(), grey->maximum()), std::make_pair(0, 255));
        QCOMPARE(size->value(), 30);
        QCOMPARE(grey->value(), 0);

        size->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(text("Text3"), QStringLiteral("1"));
        size->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(text("Text3"), QStringLiteral("11"));
        size->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(text("Text3"), QStringLiteral("12"));
        size->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(text("Text3"), QStringLiteral("60"));
        grey->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(text("Text9"), QStringLiteral("25"));
        grey->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(text("Text9"), QStringLiteral("255"));
        grey->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(text("Text9"), QStringLiteral("0"));

        // A typed text stays while the bar does not change, also at its end.
        control<QLineEdit>(form1(), "Text3")->setText(QStringLiteral("45"));
        size->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(text("Text3"), QStringLiteral("45"));

        // The thumb being dragged writes nothing; its release writes the value.
        size->setSliderDown(true);
        size->setSliderPosition(20);
        size->setSliderPosition(25);
        QCOMPARE(text("Text3"), QStringLiteral("45"));
        size->setSliderDown(false);
        QCOMPARE(text("Text3"), QStringLiteral("25"));
    }

    // The dialog keeps one name: a cancel stores the name it already held.
    void starListFromChosenAndCancelledDialogs() {
        dialogs_->cancel();
        click(form1(), "Command3");
        QVERIFY(form1().starFile().isEmpty());

        dialogs_->choose(path("m42.txt"));
        click(form1(), "Command3");
        QCOMPARE(form1().starFile(), path("m42.txt"));

        dialogs_->cancel();
        click(form1(), "Command3");
        QCOMPARE(form1().starFile(), path("m42.txt"));
        QCOMPARE(dialogs_->shown().size(), std::size_t{3});
        QVERIFY(!dialogs_->shown()[0].save);
        QCOMPARE(dialogs_->shown()[0].proposed, QString());
        QCOMPARE(dialogs_->shown()[2].proposed, path("m42.txt"));

        // A file loaded in the double-star window is what the dialog holds next.
        writeFile(path("limits.txt"),
                  "0 0 0 .9 .8 .25 .8 .7 .25 .8 .75 .2 .7 .6 .1 .6 .6 .05 "
                  "0 0 0 0 0 0 0 True");
        dialogs_->choose(path("limits.txt"));
        showForm2();
        click(form2(), "Command3");
        dialogs_->cancel();
        click(form1(), "Command3");
        QCOMPARE(form1().starFile(), path("limits.txt"));
    }

    void completedRunReportsCountsAndPutsThePlotOnTheClipboard() {
        click(form1(), "Option1(0)");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        QVERIFY(messages_->messages.empty());

        QCOMPARE(count("Label2", 8), QStringLiteral("1"));
        for (int row = 1; row <= 7; ++row) QCOMPARE(count("Label2", row), QString());
        for (int row = 1; row <= 8; ++row) QCOMPARE(count("Label3", row), QStringLiteral("0"));
        QCOMPARE(count("Label2", 0), QStringLiteral("単星数"));
        QVERIFY(darkNear(plot(), 100, 100));

        const QImage pasted = QGuiApplication::clipboard()->image();
        QCOMPARE(pasted.size(), QSize(3034, 2018));
        QVERIFY(qGray(pasted.pixel(99, 99)) < 128);
        QCOMPARE(qGray(pasted.pixel(2000, 1500)), 255);
        // The window shows the plot's top-left part at actual size.
        const QImage onScreen =
            control<PlotView>(form1(), "Picture1")->grab({96, 96, 8, 8}).toImage();
        QVERIFY(qGray(onScreen.pixel(3, 3)) < 128);
        QCOMPARE(qGray(onScreen.pixel(7, 0)), 255);
        // Form2 is written although it stays hidden.
        QVERIFY(!form2().isVisible());
    }

    // The run sizes the plot from the texts as they stand, also after a swap.
    void runSizesThePlotFromTheTexts() {
        click(form1(), "Command7");
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        QCOMPARE(control<PlotView>(form1(), "Picture1")->size(), QSize(2596, 3902));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(2596, 3902));

        control<QLineEdit>(form1(), "Text2")->setText(QStringLiteral("12x"));
        click(form1(), "Command1");
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QVERIFY(messages_->messages[0].text.contains(QStringLiteral("12x")));
        QCOMPARE(control<PlotView>(form1(), "Picture1")->size(), QSize(2596, 3902));
    }

    void stoppedRunKeepsCountsAndClipboard() {
        drawFile(QStringLiteral("double.txt"), kOneDoubleStar);
        QCOMPARE(count("Label3", 2), QStringLiteral("1"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));

        drawFile(QStringLiteral("mismatch.txt"), kMismatch);
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QCOMPARE(messages_->messages[0].text, QStringLiteral("データ構造が違います"));
        QVERIFY(messages_->messages[0].detail.contains(path("mismatch.txt")));
        QCOMPARE(count("Label3", 2), QStringLiteral("1"));
        QCOMPARE(count("Label2", 8), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        // What was drawn before the bad record stays: the auto clear came first.
        QVERIFY(darkNear(plot(), 300, 80));
        QVERIFY(!darkNear(plot(), 500, 80));
        QVERIFY(!darkNear(plot(), 200, 50));
    }

    // A star list that cannot be opened stops the run before the plot is touched.
    void unreadableStarListStopsWithItsName() {
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        dialogs_->choose(path("missing.txt"));
        click(form1(), "Command3");
        click(form1(), "Command1");
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QVERIFY(messages_->messages[0].text.contains(path("missing.txt")));
        QVERIFY(darkNear(plot(), 100, 100));
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));
    }

    // The run reads the main window's settings as they stand.
    void runReadsTheMainWindowSettings() {
        control<QLineEdit>(form1(), "Text9")->setText(QStringLiteral("100"));
        drawFile(QStringLiteral("shaded.txt"), kShadedStar);
        QCOMPARE(int(plot().at(100, 100)), 100);
        QVERIFY(greysBetween(plot(), 101, 254) > 0);  // the sub-pixel edge

        click(form1(), "Check1");
        click(form1(), "Command1");
        QCOMPARE(greysBetween(plot(), 101, 254), 0);

        // The star's area 400 lies outside [500, 1000): nothing is drawn, nothing counted.
        control<QLineEdit>(form1(), "Text7")->setText(QStringLiteral("500"));
        control<QLineEdit>(form1(), "Text8")->setText(QStringLiteral("1000"));
        click(form1(), "Command1");
        QCOMPARE(greysBetween(plot(), 0, 254), 0);
        QCOMPARE(count("Label2", 8), QString());
        control<QLineEdit>(form1(), "Text7")->setText(QStringLiteral("400"));
        click(form1(), "Command1");
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));

        // A larger star size setting draws the star smaller.
        const int large = greysBetween(plot(), 0, 254);
        control<QLineEdit>(form1(), "Text3")->setText(QStringLiteral("60"));
        click(form1(), "Command1");
        QVERIFY(greysBetween(plot(), 0, 254) < large);
        QVERIFY(messages_->messages.empty());
    }

    // The run reads the double-star window's cells and mode as they stand.
    void runReadsTheDoubleStarTable() {
        auto* correction = control<QLineEdit>(form2(), "Text4");
        correction->setText(QStringLiteral("1000"));
        drawFile(QStringLiteral("double.txt"), kOneDoubleStar);
        QCOMPARE(count("Label2", 2), QStringLiteral("1"));
        QCOMPARE(count("Label3", 2), QStringLiteral("0"));

        // Only the roundness test holds; the occupancy rule is off.
        correction->setText(QStringLiteral("0"));
        control<QLineEdit>(form2(), "Text2(1)")->setText(QStringLiteral("0"));
        control<QLineEdit>(form2(), "Text3(1)")->setText(QStringLiteral("0"));
        click(form1(), "Command1");
        QCOMPARE(count("Label3", 2), QStringLiteral("0"));
        showForm2();
        click(form2(), "Option2");
        click(form1(), "Command1");
        QCOMPARE(count("Label3", 2), QStringLiteral("1"));
        QCOMPARE(count("Label2", 2), QString());
    }

    void autoClearAndClearButton() {
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        drawFile(QStringLiteral("double.txt"), kOneDoubleStar);
        QVERIFY(!darkNear(plot(), 100, 100));
        QVERIFY(darkNear(plot(), 200, 50));

        auto* clear = control<QPushButton>(form1(), "Command10");
        click(form1(), "Check2");
        QVERIFY(clear->isVisible());
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        QVERIFY(darkNear(plot(), 100, 100));
        QVERIFY(darkNear(plot(), 200, 50));
        // The next run's counts replace the last ones, however the plot was kept.
        QCOMPARE(count("Label3", 2), QStringLiteral("0"));

        click(form1(), "Command10");
        QVERIFY(!darkNear(plot(), 100, 100));
        QCOMPARE(QSize(plot().width(), plot().height()), QSize(3902, 2596));
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));

        click(form1(), "Check2");
        QVERIFY(clear->isHidden());
    }

    void doubleStarWindowToggles() {
        click(form1(), "Command9");
        QVERIFY(form2().isVisible());
        QVERIFY(form1().isVisible());
        click(form1(), "Command9");
        QVERIFY(!form2().isVisible());
        click(form1(), "Command9");
        QVERIFY(form2().isVisible());
    }

    // The close box of the double-star window only hides it: limits and counts stay.
    void closingTheDoubleStarWindowKeepsItsValues() {
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        click(form1(), "Command9");
        control<QLineEdit>(form2(), "Text1(2)")->setText(QStringLiteral("0.33"));
        QVERIFY(form2().close());
        QVERIFY(!form2().isVisible());
        QVERIFY(form1().isVisible());
        click(form1(), "Command9");
        QVERIFY(form2().isVisible());
        QCOMPARE(control<QLineEdit>(form2(), "Text1(2)")->text(), QStringLiteral("0.33"));
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));
    }

    void exitButtonEndsTheProgram() {
        QSignalSpy quit(&form1(), &MainWindow::quitRequested);
        click(form1(), "Command9");
        click(form1(), "Command2");
        QCOMPARE(quit.count(), 1);
        QVERIFY(!form1().isVisible());
        QVERIFY(!form2().isVisible());
        QVERIFY(messages_->messages.empty());
    }

    void closingTheMainWindowClosesBoth() {
        QSignalSpy quit(&form1(), &MainWindow::quitRequested);
        click(form1(), "Command9");
        QVERIFY(form1().close());
        QCOMPARE(quit.count(), 1);
        QVERIFY(!form2().isVisible());
    }

    void exportWithCancelledAndChosenDialogs() {
        dialogs_->cancel();
        click(form1(), "Command8");
        QVERIFY(QDir(dir_->path()).entryList(QDir::Files).isEmpty());

        drawFile(QStringLiteral("m42.txt"), kOneSingleStar);
        dialogs_->cancel();
        click(form1(), "Command8");
        QCOMPARE(dialogs_->shown().back().proposed, path("m42.txt"));
        QVERIFY(dialogs_->shown().back().save);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"m42.txt"});

        click(form1(), "Option1(0)");
        dialogs_->choose(path("plot.jpg"));
        click(form1(), "Command8");
        QVERIFY(!QFile::exists(path("plot.jpg")));
        const QImage saved(path("plot.bmp"), "BMP");
        QCOMPARE(saved.size(), QSize(3034, 2018));
        QVERIFY(qGray(saved.pixel(99, 99)) < 128);
        // The dialog keeps the name as chosen, not the bitmap's.
        QCOMPARE(form1().commonDialog().fileName(), path("plot.jpg"));
        QVERIFY(messages_->messages.empty());
    }

    void exportFailureIsReportedAndTheProgramRunsOn() {
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("taken.bmp")));
        messages_->answers.push_back(true);
        dialogs_->choose(path("taken.png"));
        click(form1(), "Command8");
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QCOMPARE(messages_->messages[0].text,
                 QStringLiteral("画像ファイル「%1」を作れません（フォルダです）。").arg(path("taken.bmp")));

        dialogs_->choose(path("fine.bmp"));
        click(form1(), "Command8");
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QVERIFY(QFile::exists(path("fine.bmp")));
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    applyWindowLook();
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
