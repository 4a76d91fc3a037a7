// What the main window tells of the file and the run: the status line, the notice of stars off
// the plot, the counts of an earlier run, the camera buttons following 横 and 縦, and the
// settings that cannot give a plot.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "app/application_setup.h"
#include "app/plot_view.h"
#include "app/status_line.h"
#include "app/window_look.h"
#include "system/process_tuning.h"
#include "window_fixture.h"

namespace {

// A Source Extractor catalog of stars centred at the points.
QByteArray catalogOf(const QList<QPointF>& stars) {
    QByteArray text =
        "#   1 NUMBER\n#   2 FLUX_RADIUS\n#   3 X_IMAGE\n#   4 Y_IMAGE\n#   5 XMIN_IMAGE\n"
        "#   6 YMIN_IMAGE\n#   7 XMAX_IMAGE\n#   8 YMAX_IMAGE\n#   9 X2WIN_IMAGE\n#  10 Y2WIN_IMAGE\n"
        "#  11 XYWIN_IMAGE\n#  12 FWHM_IMAGE\n";
    int number = 1;
    for (const QPointF& star : stars) {
        text += QStringLiteral("   %1   1.75  %2  %3  27  85  33  92  1.1  1.1   0.0  3.3\n")
                    .arg(number++)
                    .arg(star.x())
                    .arg(star.y())
                    .toUtf8();
    }
    return text;
}

const QByteArray kOneSingleStar = "M42\r\n1,400,100,100,0,0,30,30,5,6,45,0.9\r\n";

}  // namespace

class StatusLineTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    QLabel& status(const char* name) { return *control<QLabel>(form1(), name); }
    QLineEdit& box(const char* name) { return *control<QLineEdit>(form1(), name); }
    QLabel& count(const char* column, int row) {
        return *control<QLabel>(form2(), QStringLiteral("%1(%2)").arg(column).arg(row));
    }
    void choose(const QString& name) {
        dialogs_->choose(path(name));
        click(form1(), "Command3");
    }
    void draw() { click(form1(), "Command1"); }
    QString checkedCamera() {
        for (int i = 0; i < 3; ++i) {
            auto* button = control<QRadioButton>(form1(), QStringLiteral("Option1(%1)").arg(i));
            if (button->isChecked()) return button->text();
        }
        return {};
    }

private slots:
    void init() { QVERIFY(openWindows()); }
    void cleanup() { QVERIFY2(closeWindows(), "a scripted dialog answer was not used"); }

    // The file, its kind and the plot's size from the start; the counts and the time after a run.
    void statusLineTellsTheFileAndTheRun() {
        QVERIFY(status("StatusFile").text().contains(QStringLiteral("未選択")));
        QCOMPARE(status("StatusSize").text(), QStringLiteral("3902 × 2596"));
        QCOMPARE(status("StatusCounts").foregroundRole(), QPalette::PlaceholderText);

        writeFile(path("m42.txt"), kOneSingleStar);
        choose(QStringLiteral("m42.txt"));
        QCOMPARE(status("StatusFile").text(), QStringLiteral("ファイル: m42.txt"));
        QVERIFY(status("StatusFile").toolTip().contains(path("m42.txt")));
        QCOMPARE(status("StatusKind").text(), QStringLiteral("星のリスト"));
        box("Text1").setText(QStringLiteral("1000"));
        box("Text2").setText(QStringLiteral("700"));
        draw();
        QCOMPARE(status("StatusCounts").text(), QStringLiteral("読込 1・描画 1"));
        QCOMPARE(status("StatusCounts").foregroundRole(), QPalette::WindowText);
        QCOMPARE(status("StatusSize").text(), QStringLiteral("1000 × 700"));
        QVERIFY2(status("StatusTime").text().contains(QStringLiteral(" 秒")),
                 qPrintable(status("StatusTime").text()));
        QVERIFY(status("StatusNotice").text().isEmpty());
        QVERIFY(messages_->messages.empty());
    }

    // After a photograph of 1200 × 800, a catalog of a 640 × 480 picture takes the picture's size
    // from its name beside it; stars that fall off a plot too small are told on the status
    // line, without a box to close, after a run of any file.
    void catalogTakesItsPicturesSizeAndStarsOffThePlotAreTold() {
        writePhotograph(path("night.png"), {1200, 800});
        choose(QStringLiteral("night.png"));
        QCOMPARE(status("StatusKind").text(), QStringLiteral("写真"));
        QCOMPARE(box("Text1").text(), QStringLiteral("1200"));
        QCOMPARE(box("Text2").text(), QStringLiteral("800"));

        writeFile(path("field.cat"), catalogOf({{100, 100}, {600, 400}, {630, 470}}));
        writePhotograph(path("field.png"), {640, 480});
        choose(QStringLiteral("field.cat"));
        QCOMPARE(status("StatusKind").text(),
                 QStringLiteral("カタログ（大きさは field.png から）"));
        QCOMPARE(box("Text1").text(), QStringLiteral("640"));
        QCOMPARE(box("Text2").text(), QStringLiteral("480"));
        draw();
        QCOMPARE(status("StatusCounts").text(), QStringLiteral("読込 3・描画 3"));
        QVERIFY(status("StatusNotice").text().isEmpty());

        box("Text1").setText(QStringLiteral("500"));
        draw();
        QCOMPARE(status("StatusNotice").text(),
                 QStringLiteral("⚠ 2 個の星が画像の外にあります。横と縦を確かめてください。"));
        QCOMPARE(status("StatusNotice").toolTip(),
                 QStringLiteral("⚠ 2 個の星が画像の外にあります。横と縦を確かめてください。\n"
                                "2 個の星が画像の外にあります。横と縦が、星を測った写真の大きさと"
                                "合っているか確かめてください。"));
        QVERIFY(messages_->messages.empty());
        const QColor warning = status("StatusNotice").palette().color(QPalette::WindowText);
        QVERIFY(warning != status("StatusCounts").palette().color(QPalette::WindowText));
        form1().setNightMode(true);  // the warning in the night look's red
        QTRY_COMPARE(status("StatusNotice").palette().color(QPalette::WindowText).green(), 0);
        form1().setNightMode(false);
        QTRY_COMPARE(status("StatusNotice").palette().color(QPalette::WindowText), warning);

        // A star list tells it too; a run with every star on the plot clears the notice.
        writeFile(path("far.txt"), "M42\r\n1,400,5000,100,0,0,30,30,5,6,45,0.9\r\n");
        choose(QStringLiteral("far.txt"));
        draw();
        QVERIFY(status("StatusNotice").text().startsWith(QStringLiteral("⚠ 1 個の星が")));
        box("Text1").setText(QStringLiteral("5001"));
        draw();
        QVERIFY(status("StatusNotice").text().isEmpty());
        QVERIFY(messages_->messages.empty());
    }

    // The camera buttons show the camera of 横 × 縦, either way round, and none for another size.
    void cameraButtonsFollowTheSensorSize() {
        writePhotograph(path("night.png"), {400, 300});
        choose(QStringLiteral("night.png"));
        QCOMPARE(checkedCamera(), QString());
        box("Text1").setText(QStringLiteral("3034"));
        QCOMPARE(checkedCamera(), QString());
        box("Text2").setText(QStringLiteral("2018"));
        QCOMPARE(checkedCamera(), QStringLiteral("SSPro"));
        click(form1(), "Command7");
        QCOMPARE(checkedCamera(), QStringLiteral("SSPro"));
        box("Text1").setText(QStringLiteral("abc"));
        QCOMPARE(checkedCamera(), QString());
        // A click on a camera still sets its size, none having been selected.
        click(form1(), "Option1(2)");
        QCOMPARE(checkedCamera(), QStringLiteral("EOS DX"));
        QCOMPARE(box("Text1").text(), QStringLiteral("3906"));
        QCOMPARE(form1().plot().size(), QSize(3906, 2602));
    }

    // After a run that did not complete, the counts shown are greyed as an earlier run's, with
    // its file in their tooltips, until the next completed run.
    void countsOfAnEarlierRunAreGreyed() {
        // Before any completed run there is nothing to grey.
        choose(QStringLiteral("missing.txt"));
        draw();
        QCOMPARE(count("Label2", 8).foregroundRole(), QPalette::WindowText);

        writeFile(path("m42.txt"), kOneSingleStar);
        choose(QStringLiteral("m42.txt"));
        draw();
        QCOMPARE(count("Label2", 8).text(), QStringLiteral("1"));
        const QString ownTip = count("Label2", 8).toolTip();
        writeFile(path("bad.txt"), "M42\r\n2,400,100,100,0,0,30,30,5,6,45,0.9\r\n");
        choose(QStringLiteral("bad.txt"));
        draw();
        QCOMPARE(messages_->messages.back().text, QStringLiteral("データ構造が違います"));
        auto* form2 = static_cast<DoubleStarWindow*>(&this->form2());
        QVERIFY(form2->countsEarlier());
        for (int row = 1; row <= 8; ++row) {
            for (const char* column : {"Label2", "Label3"}) {
                QCOMPARE(count(column, row).foregroundRole(), QPalette::PlaceholderText);
                QVERIFY(count(column, row).toolTip().contains(QStringLiteral("「m42.txt」")));
            }
        }
        QCOMPARE(count("Label2", 8).text(), QStringLiteral("1"));
        QVERIFY(form1().statusLine().countsEarlier());
        QCOMPARE(status("StatusCounts").foregroundRole(), QPalette::PlaceholderText);
        QVERIFY(status("StatusCounts").toolTip().contains(QStringLiteral("「m42.txt」")));
        QCOMPARE(status("StatusFile").text(), QStringLiteral("ファイル: bad.txt"));

        choose(QStringLiteral("m42.txt"));
        draw();
        QVERIFY(!form2->countsEarlier());
        QCOMPARE(count("Label2", 8).foregroundRole(), QPalette::WindowText);
        QCOMPARE(count("Label2", 8).toolTip(), ownTip);
        QCOMPARE(status("StatusCounts").foregroundRole(), QPalette::WindowText);
    }

    // A grey outside 0 to 255 and a star size of 0 stop with a message before the plot changes;
    // a star size below the bar's left end draws, with a warning in the status line.
    void settingsThatCannotGiveAPlotAreRefused() {
        writeFile(path("m42.txt"), kOneSingleStar);
        choose(QStringLiteral("m42.txt"));
        draw();
        QVERIFY(messages_->messages.empty());
        const struct {
            const char* box;
            const char* text;
            const char* message;
        } refused[] = {
            {"Text9", "300", "星の濃度「300」は 0 から 255 までの数にしてください"},
            {"Text3", "0", "星の大きさ「0」は 0 より大きい数にしてください"},
        };
        for (const auto& setting : refused) {
            const QString kept = box(setting.box).text();
            box(setting.box).setText(QLatin1String(setting.text));
            box("Text1").setText(QStringLiteral("2000"));  // would resize a plot that ran
            draw();
            QVERIFY2(messages_->messages.back().text.startsWith(QString::fromUtf8(setting.message)),
                     qPrintable(messages_->messages.back().text));
            QCOMPARE(form1().plot().size(), QSize(3902, 2596));
            QCOMPARE(int(form1().plot().surface().at(100, 100)), 0);
            box(setting.box).setText(kept);
            box("Text1").setText(QStringLiteral("3902"));
        }
        const std::size_t shown = messages_->messages.size();
        box("Text3").setText(QStringLiteral("0.5"));
        draw();
        QCOMPARE(messages_->messages.size(), shown);
        QVERIFY(status("StatusNotice").text().contains(QStringLiteral("星の大きさ「0.5」")));
        box("Text9").setText(QStringLiteral("255"));
        box("Text3").setText(QStringLiteral("1"));
        draw();
        QCOMPARE(messages_->messages.size(), shown);
        QVERIFY(status("StatusNotice").text().isEmpty());
    }
};

int main(int argc, char** argv) {
    tuneProcess();
    QApplication application(argc, argv);
    if (!setUpApplication()) return 1;
    applyWindowLook();
    StatusLineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "status_line_test.moc"
