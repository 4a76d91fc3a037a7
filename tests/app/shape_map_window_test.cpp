#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "app/application_setup.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/shape_map_window.h"
#include "app/window_look.h"
#include "platform/shape_map_picture.h"
#include "sources/photo/synthetic_sky.h"
#include "system/process_tuning.h"
#include "window_fixture.h"
#include "window_test_support.h"

namespace {

// 30 stars of area 400 over the whole plot, every one stretched the same way: the map reads
// a trail at `angle` degrees.
QByteArray trailedList(int angle) {
    QByteArray list = "trail\r\n";
    int index = 0;
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 6; ++column) {
            list += QStringLiteral("%1,400,%2,%3,0,0,30,30,1,8,%4,0.6\r\n")
                        .arg(++index)
                        .arg(150 + 500 * column)
                        .arg(100 + 400 * row)
                        .arg(angle)
                        .toLatin1();
        }
    }
    return list;
}

// A photograph of 30 stars of FWHM 5 pixels, each stretched to twice its width at `angle`.
void writeTrailedPhotograph(const QString& path, int angle) {
    std::vector<SyntheticSky::Star> stars;
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 6; ++column) {
            stars.push_back({40.0 + 80 * column, 36.0 + 72 * row, 5, 0.5, double(angle), 200});
        }
    }
    SyntheticSky(480, 360, stars).writePicture(path.toStdString(), "png");
}

// Record 2 is numbered 3: the run stops after drawing record 1.
const QByteArray kMismatch =
    "M42\r\n1,400,300,80,0,0,30,30,5,6,45,0.9\r\n3,400,500,80,0,0,30,30,5,6,45,0.9\r\n";

}  // namespace

class ShapeMapWindowTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    ShapeMapWindow& map() { return form1().shapeMap(); }
    QAction& action(QWidget& menu, const char* name) { return *control<QAction>(menu, name); }
    void drawFile(const QString& name, const QByteArray& content) {
        writeFile(path(name), content);
        dialogs_->choose(path(name));
        click(form1(), "Command3");
        click(form1(), "Command1");
    }
    // Until the window has made what it was asked for.
    bool settled() {
        return QTest::qWaitFor([this] { return !map().making(); }, 20000);
    }
    void openMap() {
        action(form1().plotMenu(), "ShowShapeMap").trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&map()));
        QVERIFY(settled());
    }
    QString reading() { return control<QLabel>(map(), "ShapeReading")->text(); }
    const QImage& picture() { return map().picture().picture(); }

private slots:
    void init() { QVERIFY(openWindows()); }
    void cleanup() { QVERIFY2(closeWindows(), "a scripted dialog answer was not used"); }

    // The map of the last completed run, made when the window is shown and again after every
    // run, for the grid chosen and in the night look.
    void mapFollowsEveryRunWithItsReading() {
        click(form1(), "Option1(0)");  // a plot of 3034 × 2018
        drawFile(QStringLiteral("first.txt"), trailedList(32));
        QVERIFY(map().map() == nullptr);  // nothing is made for a hidden window

        openMap();
        QVERIFY(map().map() != nullptr);
        QCOMPARE(map().map()->width(), 3034);
        QCOMPARE(map().map()->height(), 2018);
        QCOMPARE(map().map()->frame().n, 30);
        QCOMPARE(map().map()->readingCodes(), std::string("trailing"));
        QVERIFY2(reading().contains(QStringLiteral("（32°）")), qPrintable(reading()));
        QVERIFY(map().windowTitle().contains(QStringLiteral("first.txt")));
        // Drawn for the width on screen; the reading is beside it, not on it.
        QCOMPARE(picture().width(), map().picture().deviceWidth());
        const QImage day = picture();

        drawFile(QStringLiteral("second.txt"), trailedList(120));
        QVERIFY(settled());
        QVERIFY2(reading().contains(QStringLiteral("（120°）")), qPrintable(reading()));
        QVERIFY(map().windowTitle().contains(QStringLiteral("second.txt")));

        // Another grid remakes the map from the same stars, without a run.
        const ShapeStars stars = map().map()->sharedStars();
        control<QMenu>(map(), "ShapeMapGrid")->actions().at(4)->trigger();
        QVERIFY(settled());
        QCOMPARE(map().map()->grid(), 5);
        QCOMPARE(map().map()->regions().size(), std::size_t{25});
        QVERIFY(map().map()->sharedStars() == stars);
        QVERIFY(action(map(), "ShapeMapGrid5").isChecked());

        action(form1().plotMenu(), "NightMode").trigger();
        QVERIFY(settled());
        QVERIFY(qGray(picture().pixel(2, 2)) < 60);
        QVERIFY(qGray(day.pixel(2, 2)) > 200);
        action(form1().plotMenu(), "NightMode").trigger();

        // A run that does not complete leaves the map of the one before, and says so.
        drawFile(QStringLiteral("mismatch.txt"), kMismatch);
        QVERIFY(settled());
        QVERIFY(map().earlier());
        QVERIFY(control<QLabel>(map(), "ShapeMapEarlier")->text().contains("second.txt"));
        QCOMPARE(map().map()->frame().n, 30);
        drawFile(QStringLiteral("third.txt"), trailedList(32));
        QVERIFY(settled());
        QVERIFY(!map().earlier());
        QVERIFY(reading().contains(QStringLiteral("（32°）")));
        QCOMPARE(messages_->messages.size(), std::size_t{1});  // the mismatch's

        // A run of more stars than are kept for a hidden window leaves no map of an earlier
        // run on the screen; the window says how to get one, and the next run brings it back.
        map().follow(nullptr, 3034, 2018, path(QStringLiteral("huge.txt")));
        QVERIFY(map().map() == nullptr);
        QVERIFY(picture().isNull());
        QVERIFY2(reading().contains(QStringLiteral("「huge.txt」は星が多いため")),
                 qPrintable(reading()));
        QVERIFY(!action(map(), "CopyShapeMap").isEnabled());
        drawFile(QStringLiteral("fourth.txt"), trailedList(32));
        QVERIFY(settled());
        QCOMPARE(map().map()->frame().n, 30);
        QVERIFY(action(map(), "CopyShapeMap").isEnabled());
    }

    // The picture saved and copied is quendra-plot --map's: the day look, the reading as its
    // caption, whatever the window shows.
    void savedAndCopiedPictureIsThePlottersPicture() {
        drawFile(QStringLiteral("m42.txt"), trailedList(32));
        openMap();
        action(form1().plotMenu(), "NightMode").trigger();
        QVERIFY(settled());
        const QImage expected = ShapeMapPicture::render(*map().map(), ShapeMapPicture::Look::Day);
        QVERIFY(expected.height() > picture().height() * expected.width() / picture().width());

        dialogs_->choose(path(QStringLiteral("星像")));
        map().savePicture();
        QVERIFY(settled());
        QCOMPARE(dialogs_->shown().back().proposed, path(QStringLiteral("m42-map.png")));
        QVERIFY(!dialogs_->shown().back().asksToReplace);
        QCOMPARE(QImage(path(QStringLiteral("星像.png")), "PNG").convertToFormat(expected.format()),
                 expected);

        // The question is about the file written, with ".png"; "いいえ" keeps it.
        writeFile(path(QStringLiteral("星像.png")), "kept");
        dialogs_->choose(path(QStringLiteral("星像")));
        map().savePicture();
        QVERIFY(settled());
        QCOMPARE(messages_->questions.size(), std::size_t{1});
        QVERIFY(messages_->questions[0].contains(QStringLiteral("星像.png")));
        QCOMPARE(readFile(path(QStringLiteral("星像.png"))), QByteArray("kept"));

        QGuiApplication::clipboard()->clear();
        map().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&map()));
        QTest::keyClick(&map(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(settled());
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(expected.format()),
                 expected);
        QVERIFY(messages_->messages.empty());
        QTest::keyClick(&map(), Qt::Key_Escape);
        QVERIFY(!map().isVisible());
    }

    // A photograph's map: its detected stars, their angles as the star lists give them.
    void photographsMapReadsItsTrail() {
        writeTrailedPhotograph(path("sky.png"), 32);
        dialogs_->choose(path("sky.png"));
        click(form1(), "Command3");
        openMap();
        QVERIFY(map().map() == nullptr);
        QVERIFY(reading().contains(QStringLiteral("「描画」")));
        QVERIFY(!action(map(), "SaveShapeMap").isEnabled());

        click(form1(), "Command1");
        QVERIFY(settled());
        QVERIFY(map().map() != nullptr);
        const ShapeSummary& frame = map().map()->frame();
        QCOMPARE(frame.n, 30);
        QCOMPARE(map().map()->readingCodes(), std::string("trailing"));
        QVERIFY2(std::abs(*frame.direction - 32) < 3,
                 qPrintable(QString::number(*frame.direction)));
        // The size is a FWHM in pixels, between the stars' widths; an area would be far larger.
        QVERIFY2(*frame.size > 2 && *frame.size < 6, qPrintable(QString::number(*frame.size)));
        QVERIFY(action(map(), "SaveShapeMap").isEnabled());
        QCOMPARE(map().windowTitle(), QStringLiteral("星像マップ — sky.png"));
    }
};

int main(int argc, char** argv) {
    tuneProcess();
    QApplication application(argc, argv);
    setUpApplication();
    applyWindowLook();
    ShapeMapWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "shape_map_window_test.moc"
