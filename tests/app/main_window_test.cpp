#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <fstream>
#include <memory>

#include "app/application_setup.h"
#include "app/double_star_window.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/plot_viewer.h"
#include "app/window_look.h"
#include "platform/file_dialog.h"
#include "recording_message_box.h"
#include "scripted_file_dialog_driver.h"
#include "system/process_tuning.h"
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

// A star list of `count` giant stars of area 400 at (100, 100); with the star size "1" every
// one of them covers the whole plot.
QByteArray sameStars(int count) {
    QByteArray list = "M42\r\n";
    for (int i = 1; i <= count; ++i)
        list += QByteArray::number(i) + ",400,100,100,0,0,30,30,5,3000,45,0.9\r\n";
    return list;
}

// Whether an image has a dark pixel within two pixels of (x, y).
bool darkNear(const QImage& image, const QPointF& at) {
    const QPoint centre = at.toPoint();
    for (int j = centre.y() - 2; j <= centre.y() + 2; ++j) {
        for (int i = centre.x() - 2; i <= centre.x() + 2; ++i) {
            if (image.valid(i, j) && qGray(image.pixel(i, j)) < 128) return true;
        }
    }
    return false;
}

// The contrast of two colours as the Web Content Accessibility Guidelines measure it: 1 for the
// same colour, 21 for black on white.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isGrey(QRgb colour) {
    return qRed(colour) == qGreen(colour) && qGreen(colour) == qBlue(colour);
}

// While it lives, the process may take only `room` more bytes of address space, so larger
// allocations fail as they do when memory runs out. The test's main has large blocks mapped
// afresh every time, so that no freed block is there to be taken again.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(long room) {
        ::malloc_trim(0);
        ::getrlimit(RLIMIT_AS, &saved_);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit limit{static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE) + room),
                           saved_.rlim_max};
        ::setrlimit(RLIMIT_AS, &limit);
    }
    ~AddressSpaceLimit() { ::setrlimit(RLIMIT_AS, &saved_); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit saved_{};
};

// Whether the plot has a dark pixel within two pixels of (x, y).
// Counts the paint events a widget takes.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int painted = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++painted;
        return false;
    }
};

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
    QAction& action(const char* name) { return *control<QAction>(form1().plotMenu(), name); }
    QImage onScreen(QWidget& widget) { return widget.grab().toImage(); }
    // Drags a file over the main window and drops it; true when the window took it.
    bool drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter({300, 300}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(&form1(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(&form1(), &dropped);
        return dropped.isAccepted();
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
        // The status line takes the rows below the plot area; the controls are where they were.
        QCOMPARE(form1().size(), QSize(639, 560));
        QCOMPARE(control<QWidget>(form1(), "StatusLine")->geometry(), QRect(0, 524, 639, 36));
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

    // "画像保存" writes the chosen name with "bmp" for its extension: the question is about that
    // file, asked by the window, and "いいえ" writes nothing.
    void overwriteQuestionIsAboutTheBitmapWritten() {
        drawFile(QStringLiteral("m42.csv"), kOneSingleStar);
        dialogs_->choose(path("m42.csv"));
        click(form1(), "Command8");
        QVERIFY(!dialogs_->shown().back().asksToReplace);
        QVERIFY(messages_->questions.empty());
        QCOMPARE(readFile(path("m42.csv")), kOneSingleStar);
        QCOMPARE(QImage(path("m42.bmp")).size(), QSize(3902, 2596));

        writeFile(path("plot.bmp"), "the plot of yesterday");
        dialogs_->choose(path("plot.txt"));
        click(form1(), "Command8");  // answered "いいえ"
        QCOMPARE(
            messages_->questions,
            std::vector<QString>{QStringLiteral("「plot.bmp」は既にあります。置き換えますか？")});
        QCOMPARE(readFile(path("plot.bmp")), QByteArray("the plot of yesterday"));
        messages_->answers.push_back(true);
        dialogs_->choose(path("plot.txt"));
        click(form1(), "Command8");
        QCOMPARE(messages_->questions.size(), std::size_t{2});
        QCOMPARE(QImage(path("plot.bmp")).size(), QSize(3902, 2596));
        QVERIFY(!QFile::exists(path("plot.txt")));
        QVERIFY(messages_->messages.empty());
    }

    // Return and Enter press a focused button; in the run's text boxes they start "描画".
    void enterPressesButtonsAndStartsARun() {
        auto* toggle = control<QPushButton>(form1(), "Command9");
        QTest::keyClick(toggle, Qt::Key_Return);
        QVERIFY(form2().isVisible());
        QTest::keyClick(toggle, Qt::Key_Enter);
        QVERIFY(!form2().isVisible());

        writeFile(path("one.txt"), kOneSingleStar);
        dialogs_->choose(path("one.txt"));
        QTest::keyClick(control<QPushButton>(form1(), "Command3"), Qt::Key_Return);
        QCOMPARE(form1().starFile(), path("one.txt"));
        for (const char* box : {"Text1", "Text2", "Text3", "Text7", "Text8", "Text9"}) {
            QGuiApplication::clipboard()->setText(QStringLiteral("before"));
            QTest::keyClick(control<QLineEdit>(form1(), box), Qt::Key_Return);
            QVERIFY(waitForRun());
            QVERIFY2(!QGuiApplication::clipboard()->image().isNull(), box);
        }
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));
        QVERIFY(messages_->messages.empty());
    }

    // A photograph chosen with "解析データ" (or dropped) gives 横 and 縦 its size at once; "描画"
    // finds its stars and plots them.
    void photographIsAStarSource() {
        writePhotograph(path("sky.png"), {400, 300});
        dialogs_->choose(path("sky.png"));
        click(form1(), "Command3");
        QCOMPARE(text("Text1"), QStringLiteral("400"));
        QCOMPARE(text("Text2"), QStringLiteral("300"));
        for (int run = 0; run < 2; ++run) {  // the second from the kept detection
            click(form1(), "Command1");
            QVERIFY(messages_->messages.empty());
            int stars = 0;
            for (int row = 1; row <= 8; ++row) {
                stars += count("Label2", row).toInt() + count("Label3", row).toInt();
            }
            QCOMPARE(stars, 5);
            QCOMPARE(QSize(plot().width(), plot().height()), QSize(400, 300));
            QVERIFY(darkNear(plot(), 199, 79));
        }
        click(form1(), "Option1(0)");
        QVERIFY(drop({QUrl::fromLocalFile(path("sky.png"))}));
        QCOMPARE(text("Text1"), QStringLiteral("400"));
    }

    // A file dropped on the window is taken as "解析データ" takes a chosen one.
    void droppedFileBecomesTheStarList() {
        const QString list = path(QStringLiteral("落とした リスト.txt"));
        writeFile(list, kOneSingleStar);
        QVERIFY(!drop({QUrl(QStringLiteral("https://example.org/m42.txt"))}));
        QVERIFY(form1().starFile().isEmpty());
        // Dropped on a text box, the file is still the star list, not the box's text.
        QVERIFY(!control<QLineEdit>(form1(), "Text1")->acceptDrops());

        QVERIFY(drop({QUrl::fromLocalFile(list)}));
        QCOMPARE(form1().starFile(), list);
        QCOMPARE(form1().commonDialog().fileName(), list);
        click(form1(), "Command1");
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));
        dialogs_->cancel();
        click(form1(), "Command8");
        QCOMPARE(dialogs_->shown().back().proposed, list);
    }

    // The plot's context menu, and the viewer of the whole plot following every run.
    void viewerShowsTheWholePlotAndFollowsEveryRun() {
        QStringList captions;
        for (const QAction* item : form1().plotMenu().actions()) {
            if (!item->isSeparator()) captions << item->text();
        }
        QCOMPARE(captions,
                 QStringList({"全体を表示", "星像マップ", "クリップボードにコピー", "画像保存",
                              "フレーム一覧", "夜間モード", "初期設定に戻す", "Quendra について"}));
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, {20, 20},
                                     form1().plot().mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(&form1().plot(), &rightClick);
        QVERIFY(form1().plotMenu().isVisible());
        form1().plotMenu().hide();

        click(form1(), "Option1(0)");
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        action("ShowWholePlot").trigger();
        PlotViewer* viewer = form1().viewer();
        QVERIFY(viewer != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        QVERIFY(viewer->fitted());
        const auto where = [viewer](double x, double y) {
            return (QPointF(x, y) - viewer->plotPointAt({0, 0})) * viewer->scale();
        };
        // Fitted: both far corners of the plot are in the window.
        QVERIFY(QRectF(viewer->rect()).adjusted(-1, -1, 1, 1).contains(where(3034, 2018)));
        QVERIFY(QRectF(viewer->rect()).contains(where(0, 0)));
        QVERIFY(darkNear(onScreen(*viewer), where(100, 100)));

        // The next run shows at once; the auto clear took the first star away.
        drawFile(QStringLiteral("far.txt"), "M42\r\n1,400,3000,2000,0,0,30,30,5,6,45,0.9\r\n");
        QVERIFY(darkNear(onScreen(*viewer), where(3000, 2000)));
        QVERIFY(!darkNear(onScreen(*viewer), where(100, 100)));

        // The wheel zooms about the pointer; dragging pans; a double click shows actual size
        // about the point clicked, another the whole plot.
        const QPointF middle = viewer->rect().center();
        const QPointF under = viewer->plotPointAt(middle);
        const double fittedScale = viewer->scale();
        QWheelEvent wheel(middle, viewer->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer, &wheel);
        QCOMPARE(viewer->scale(), fittedScale * 1.25);
        QVERIFY((viewer->plotPointAt(middle) - under).manhattanLength() < 1e-6);
        QTest::mouseDClick(viewer, Qt::LeftButton, {}, middle.toPoint());
        QCOMPARE(viewer->scale(), 1.0);
        QVERIFY((viewer->plotPointAt(middle) - under).manhattanLength() < 1);
        QTest::mousePress(viewer, Qt::LeftButton, {}, middle.toPoint());
        QMouseEvent move(QEvent::MouseMove, middle + QPointF(-30, -20), viewer->mapToGlobal(middle),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewer, &move);
        QTest::mouseRelease(viewer, Qt::LeftButton, {}, (middle + QPointF(-30, -20)).toPoint());
        QVERIFY((viewer->plotPointAt(middle) - (under + QPointF(30, 20))).manhattanLength() < 1);
        QTest::mouseDClick(viewer, Qt::LeftButton, {}, middle.toPoint());
        QVERIFY(viewer->fitted());
        QCOMPARE(viewer->scale(), fittedScale);
        QVERIFY(messages_->messages.empty());
    }

    // "夜間モード" turns what the screen shows to dim red on black; the clipboard and the saved
    // bitmap stay grey.
    void nightModeChangesOnlyTheScreen() {
        const QColor dayWindow = form1().palette().color(QPalette::Window);
        click(form1(), "Option1(0)");
        action("NightMode").trigger();
        QVERIFY(form1().nightMode());
        for (QWidget* window : {static_cast<QWidget*>(&form1()), &form2()}) {
            QTRY_COMPARE(window->palette().color(QPalette::Window), QColor(Qt::black));
            const QColor text = window->palette().color(QPalette::WindowText);
            QVERIFY(text.red() > 0 && text.green() == 0 && text.blue() == 0);
        }
        // A selection, and the menu item under the pointer, read at least as well as any text.
        const QPalette night = QApplication::palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            const double text = std::max(
                contrast(night.color(group, QPalette::Text), night.color(group, QPalette::Base)),
                contrast(night.color(group, QPalette::WindowText),
                         night.color(group, QPalette::Window)));
            QVERIFY(contrast(night.color(group, QPalette::HighlightedText),
                             night.color(group, QPalette::Highlight)) >= text);
        }
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        const QImage screen = onScreen(form1().plot());
        QCOMPARE(screen.pixel(300, 200), qRgb(0, 0, 0));
        QVERIFY(qRed(screen.pixel(100, 100)) > 100 && qGreen(screen.pixel(100, 100)) == 0);

        const QImage pasted = QGuiApplication::clipboard()->image();
        QVERIFY(isGrey(pasted.pixel(100, 100)) && qGray(pasted.pixel(100, 100)) < 128);
        QCOMPARE(pasted.pixel(2000, 1500), qRgb(255, 255, 255));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        action("CopyPlot").trigger();
        QCOMPARE(QGuiApplication::clipboard()->image().pixel(2000, 1500), qRgb(255, 255, 255));
        dialogs_->choose(path("night.bmp"));
        action("SavePlot").trigger();
        const QImage saved(path("night.bmp"));
        QVERIFY(isGrey(saved.pixel(100, 100)) && qGray(saved.pixel(100, 100)) < 128);
        QCOMPARE(saved.pixel(2000, 1500), qRgb(255, 255, 255));

        action("ShowWholePlot").trigger();
        QVERIFY(QTest::qWaitForWindowExposed(form1().viewer()));
        const QImage whole = onScreen(*form1().viewer());
        QCOMPARE(qGreen(whole.pixel(whole.width() / 2, whole.height() / 2)), 0);

        action("NightMode").trigger();
        QVERIFY(!form1().nightMode());
        QTRY_COMPARE(form1().palette().color(QPalette::Window), dayWindow);
        QCOMPARE(onScreen(form1().plot()).pixel(300, 200), qRgb(255, 255, 255));
        QVERIFY(messages_->messages.empty());
    }

    // A run of giant stars shows its progress after half a second and
    // stops at "キャンセル" as a stopped run does: no message, the last counts and clipboard kept.
    void longRunShowsProgressAndCanBeCancelled() {
        click(form1(), "Option1(0)");
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        control<QLineEdit>(form1(), "Text3")->setText(QStringLiteral("1"));
        QString stage;
        QTimer watch;
        connect(&watch, &QTimer::timeout, &watch, [&] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress == nullptr) return;
            stage = progress->labelText();
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        watch.start(20);
        QElapsedTimer clock;
        clock.start();
        drawFile(QStringLiteral("giants.txt"), sameStars(100000));
        watch.stop();
        QVERIFY2(stage.startsWith(QStringLiteral("星を描いています")), qPrintable(stage));
        QVERIFY(clock.elapsed() < 60000);
        QVERIFY(messages_->messages.empty());
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        // What was drawn before the cancel is kept.
        QVERIFY(plot().at(3000, 2000) < 255);
    }

    // The run goes on on a thread of its own: meanwhile the window repaints and its events are
    // handled at once, before the progress shows as well as after, while it takes no input but
    // the dialog's; "キャンセル" still stops the run.
    void windowRepaintsAndAnswersWhileALongRunGoesOn() {
        click(form1(), "Option1(0)");
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        writeFile(path("giants.txt"), sameStars(100000));
        dialogs_->choose(path("giants.txt"));
        click(form1(), "Command3");
        auto* size = control<QLineEdit>(form1(), "Text3");
        size->setText(QStringLiteral("1"));
        PaintCounter counter(form1());
        QTest::mouseClick(control<QPushButton>(form1(), "Command1"), Qt::LeftButton);
        QVERIFY(form1().running());

        // Answering at once, long before the progress would show: the old window took no event
        // until then.
        QElapsedTimer clock;
        clock.start();
        bool answered = false;
        QTimer::singleShot(0, &form1(), [&] { answered = true; });
        QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
        QVERIFY2(clock.elapsed() < 400, qPrintable(QString::number(clock.elapsed())));
        const int before = counter.painted;
        form1().update();
        QTRY_VERIFY(counter.painted > before);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(form1().running());
        // The user's input is not taken meanwhile: the settings and the run stay as they are.
        QTest::keyClicks(size, QStringLiteral("9"));
        QCOMPARE(size->text(), QStringLiteral("1"));

        QProgressDialog* progress = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((progress = qobject_cast<QProgressDialog*>(
                                      QApplication::activeModalWidget())) != nullptr,
                                 10000);
        QVERIFY(progress->isModal());
        const int shown = counter.painted;
        form1().update();
        QTRY_VERIFY(counter.painted > shown);
        QVERIFY(form1().running());
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(waitForRun());
        QVERIFY(messages_->messages.empty());
        QCOMPARE(count("Label2", 8), QStringLiteral("1"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(plot().at(3000, 2000) < 255);  // what was drawn before the cancel is kept
    }

    // Running out of memory in the window's own steps ends that step with the message, and the
    // program goes on.
    void outOfMemoryInTheWindowsStepsIsAMessage() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator ends the program instead of failing an allocation");
#endif
        click(form1(), "Option1(0)");
        drawFile(QStringLiteral("one.txt"), kOneSingleStar);
        writeFile(path("padded.txt"), QByteArray(8 << 20, ' ') + QByteArray("1 ").repeated(26));
        const QString outOfMemory = QStringLiteral("メモリが足りないため、処理を中止しました。");
        showForm2();
        {
            const AddressSpaceLimit limit(2 << 20);
            action("CopyPlot").trigger();
            dialogs_->choose(path("padded.txt"));
            click(form2(), "Command3");
            click(form1(), "Command1");
        }
        QCOMPARE(messages_->messages.size(), std::size_t{3});
        QCOMPARE(messages_->messages[0].text, outOfMemory);
        QVERIFY2(messages_->messages[1].text.contains(QStringLiteral("メモリが足りません")),
                 qPrintable(messages_->messages[1].text));
        QCOMPARE(messages_->messages[2].text, outOfMemory);
        click(form1(), "Command1");
        dialogs_->choose(path("padded.txt"));
        click(form2(), "Command3");
        QCOMPARE(messages_->messages.size(), std::size_t{3});
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(3034, 2018));
        QCOMPARE(control<QLineEdit>(form2(), "Text4")->text(), QStringLiteral("1"));
    }

    // A save past the file size limit is a message, not the end of the program, and the old
    // file stays.
    void fileSizeLimitIsAMessage() {
        writeFile(path("plot.bmp"), "the plot of yesterday");
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{rlim_t{64} * 1024, saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        messages_->answers.push_back(true);
        dialogs_->choose(path("plot.bmp"));
        click(form1(), "Command8");
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QCOMPARE(messages_->messages[0].text,
                 QStringLiteral("画像ファイル「%1」を書けません（ファイルが大きすぎます）。")
                     .arg(path("plot.bmp")));
        QCOMPARE(readFile(path("plot.bmp")), QByteArray("the plot of yesterday"));
    }

    // Qt's own dialogs speak Japanese, whatever the desktop's language (the test runs in
    // English).
    void qtDialogsSpeakJapanese() {
        QFileDialog dialog(&form1());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QStringList captions;
        for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons()) {
            captions << button->text();
        }
        QVERIFY2(captions.join(QLatin1Char(' ')).contains(QStringLiteral("キャンセル")),
                 qPrintable(captions.join(QLatin1Char(' '))));
        QVERIFY(!captions.contains(QStringLiteral("&Save")));
    }

    void exportFailureIsReportedAndTheProgramRunsOn() {
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("taken.bmp")));
        messages_->answers.push_back(true);
        dialogs_->choose(path("taken.png"));
        click(form1(), "Command8");
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QCOMPARE(messages_->messages[0].text,
                 QStringLiteral("画像ファイル「%1」を作れません（フォルダです）。")
                     .arg(path("taken.bmp")));

        dialogs_->choose(path("fine.bmp"));
        click(form1(), "Command8");
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QVERIFY(QFile::exists(path("fine.bmp")));
    }
};

int main(int argc, char** argv) {
    tuneProcess();
    // Large blocks are mapped afresh and every thread shares one heap, so that an address space
    // limit binds every large allocation (see AddressSpaceLimit).
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    ::mallopt(M_ARENA_MAX, 1);
    QApplication application(argc, argv);
    if (!setUpApplication()) return 1;
    applyWindowLook();
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
