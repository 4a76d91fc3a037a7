#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/application_setup.h"
#include "app/double_star_window.h"
#include "app/main_window.h"
#include "app/threshold_cell.h"
#include "app/window_look.h"
#include "doublestar/threshold_file.h"
#include "platform/file_dialog.h"
#include "platform/qt_text.h"
#include "recording_message_box.h"
#include "scripted_file_dialog_driver.h"
#include "system/process_tuning.h"
#include "text/messages.h"
#include "window_fixture.h"
#include "window_test_support.h"

namespace {

QString cell(const char* column, int row) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(column)).arg(row);
}

// The 25 cells and the mode, row by row: "Text1(c) Text2(c) Text3(c)", then "Text4 AND|OR".
QStringList shown(const QWidget& form2) {
    QStringList rows;
    for (int c = 0; c < 8; ++c) {
        QStringList row;
        for (const char* column : {"Text1", "Text2", "Text3"}) {
            row << control<QLineEdit>(form2, cell(column, c))->text();
        }
        rows << row.join(QLatin1Char(' '));
    }
    const bool andMode = control<QRadioButton>(form2, "Option1")->isChecked();
    const bool orMode = control<QRadioButton>(form2, "Option2")->isChecked();
    rows << control<QLineEdit>(form2, "Text4")->text() + QLatin1Char(' ') + (andMode ? "AND" : "") +
                (orMode ? "OR" : "");
    return rows;
}

const QStringList kInitial = {"0 0 0",         "0.9 0.8 0.25", "0.8 0.7 0.25",
                              "0.8 0.75 0.20", "0.7 0.6 0.1",  "0.6 0.6 0.05",
                              "0 0 0",         "0 0 0",        "0 AND"};
const QStringList kWide = {"0 0 0",        "0.8 0.7 0.1",   "0.7 0.65 0.1",
                           "0.65 0.6 0.1", "0.6 0.55 0.05", "0.5 0.5 0.03",
                           "0 0 0",        "0 0 0",         "10 AND"};

}  // namespace

class DoubleStarWindowTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    FileDialog& dialog() { return form1_->commonDialog(); }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(form2(), name), Qt::LeftButton);
    }
    void type(const QString& name, const QString& text) {
        control<QLineEdit>(form2(), name)->setText(text);
    }
    QString count(const char* column, int row) {
        return control<QLabel>(form2(), cell(column, row))->text();
    }
    void save(const QString& name) {
        dialogs_->choose(path(name));
        click("Command4");
    }
    void load(const QString& name) {
        dialogs_->choose(path(name));
        click("Command3");
    }

private slots:
    void init() {
        QVERIFY(openWindows());
        QTest::mouseClick(control<QPushButton>(*form1_, "Command9"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&form2()));
    }

    void cleanup() { QVERIFY2(closeWindows(), "a scripted dialog answer was not used"); }

    void windowAndInitialTable() {
        QCOMPARE(form2().windowTitle(), QStringLiteral("重星処理"));
        QCOMPARE(form2().size(), QSize(416, 372));
        QCOMPARE(shown(form2()), kInitial);
        const char* labels[] = {"1-9",     "10-19",   "20-49",   "50-99",
                                "100-149", "150-199", "200-299", "300-"};
        for (int k = 1; k <= 8; ++k) {
            QCOMPARE(count("Label1", k), QString::fromLatin1(labels[k - 1]));
            QCOMPARE(count("Label2", k), QStringLiteral("0"));
            QCOMPARE(count("Label3", k), QStringLiteral("0"));
        }
        // Positions are twips / 15: the last row's third cell and the telephoto button.
        QCOMPARE(control<QLineEdit>(form2(), "Text3(7)")->geometry(), QRect(352, 272, 49, 18));
        QCOMPARE(control<QWidget>(form2(), "Command2")->geometry(), QRect(344, 344, 65, 25));
    }

    // Both presets write every cell and select AND; neither touches the counts.
    void lensPresets() {
        type(cell("Text1", 0), QStringLiteral("typed"));
        type(cell("Text3", 5), QString());
        type(QStringLiteral("Text4"), QStringLiteral("-3"));
        click("Option2");
        control<QLabel>(form2(), cell("Label2", 3))->setText(QStringLiteral("42"));

        // Enter presses a focused button as Space and a click do.
        QTest::keyClick(control<QPushButton>(form2(), "Command1"), Qt::Key_Enter);
        QCOMPARE(shown(form2()), kWide);
        click("Option2");
        click("Command2");
        QStringList telephoto = kInitial;
        telephoto[3] = QStringLiteral("0.8 0.75 0.2");
        QCOMPARE(shown(form2()), telephoto);
        QCOMPARE(count("Label2", 3), QStringLiteral("42"));
    }

    // The save proposes the dialog's name followed by "detail.txt", also after a cancel.
    void saveProposesNamesAndKeepsThemAfterACancel() {
        dialogs_->choose(path("m42.txt"));
        click("Command4");
        QCOMPARE(dialogs_->shown().back().proposed, QStringLiteral("detail.txt"));
        QVERIFY(dialogs_->shown().back().save);
        // It writes the chosen name, so the dialog's own question about it is the right one.
        QVERIFY(dialogs_->shown().back().asksToReplace);
        QVERIFY(QFile::exists(path("m42.txt")));

        dialogs_->cancel();
        click("Command4");
        QCOMPARE(dialogs_->shown().back().proposed, path("m42.txtdetail.txt"));
        QVERIFY(!QFile::exists(path("m42.txtdetail.txt")));
        QCOMPARE(dialog().fileName(), path("m42.txtdetail.txt"));

        dialogs_->cancel();
        click("Command4");
        QCOMPARE(dialogs_->shown().back().proposed, path("m42.txtdetail.txtdetail.txt"));

        // Loading opens with the name the dialog holds; a cancel changes nothing.
        type(cell("Text1", 1), QStringLiteral("0.5"));
        dialogs_->cancel();
        click("Command3");
        QVERIFY(!dialogs_->shown().back().save);
        QCOMPARE(dialogs_->shown().back().proposed, path("m42.txtdetail.txtdetail.txt"));
        QCOMPARE(control<QLineEdit>(form2(), cell("Text1", 1))->text(), QStringLiteral("0.5"));
        QVERIFY(messages_->messages.empty());
    }

    void saveAndLoadRoundTrip() {
        type(cell("Text1", 1), QStringLiteral("1,5"));
        type(cell("Text2", 2), QStringLiteral("abc"));
        type(cell("Text3", 4), QString());
        type(QStringLiteral("Text4"), QStringLiteral("-2.5"));
        save(QStringLiteral("limits.txt"));
        const QByteArray written = readFile(path("limits.txt"));
        QVERIFY(written.contains(" .8  .75  .2 \r\n"));  // "0.20" is saved as .2
        QVERIFY(written.endsWith("-2.5 True\r\n"));

        click("Command1");
        click("Option2");
        load(QStringLiteral("limits.txt"));
        QStringList expected = kInitial;
        expected[1] = QStringLiteral("1 0.8 0.25");
        expected[2] = QStringLiteral("0.8 0 0.25");
        expected[3] = QStringLiteral("0.8 0.75 0.2");
        expected[4] = QStringLiteral("0.7 0.6 0");
        expected[8] = QStringLiteral("-2.5 AND");
        QCOMPARE(shown(form2()), expected);
        QVERIFY(messages_->messages.empty());
    }

    // A file saved with OR loads with OR selected: one mode is always shown.
    void orModeRoundTrip() {
        click("Option2");
        save(QStringLiteral("or.txt"));
        QVERIFY(readFile(path("or.txt")).endsWith(" 0 False\r\n"));
        click("Command2");
        load(QStringLiteral("or.txt"));
        QVERIFY(control<QRadioButton>(form2(), "Option2")->isChecked());
        QVERIFY(!control<QRadioButton>(form2(), "Option1")->isChecked());

        // A zero flag means OR as well; a nonzero one AND.
        writeFile(path("flags.txt"), QByteArray("0,").repeated(25) + "7");
        load(QStringLiteral("flags.txt"));
        QVERIFY(control<QRadioButton>(form2(), "Option1")->isChecked());
        writeFile(path("zero.txt"), QByteArray("1 ").repeated(25) + "0");
        load(QStringLiteral("zero.txt"));
        QVERIFY(control<QRadioButton>(form2(), "Option2")->isChecked());
        QCOMPARE(control<QLineEdit>(form2(), "Text4")->text(), QStringLiteral("1"));
    }

    void oneLineWithCommasLoadsLikeNineLines() {
        click("Command1");
        save(QStringLiteral("nine.txt"));
        QByteArray oneLine = readFile(path("nine.txt")).simplified();
        oneLine.replace(' ', ',');
        writeFile(path("one.txt"), oneLine + "\r\nanything after the 26th field");
        click("Command2");
        load(QStringLiteral("one.txt"));
        QCOMPARE(shown(form2()), kWide);
    }

    // A faulty file is checked whole before any cell changes, and its name is shown.
    void faultyFilesChangeNoCell() {
        click("Command1");
        writeFile(path("short.txt"), QByteArray(" .5 ").repeated(25));
        writeFile(path("flag.txt"), QByteArray(" .5 ").repeated(25) + "Maybe");
        writeFile(path("letters.txt"), "x" + QByteArray(" .5 ").repeated(24) + " True");
        for (const char* name : {"short.txt", "flag.txt", "letters.txt", "missing.txt"}) {
            load(QString::fromLatin1(name));
            QCOMPARE(shown(form2()), kWide);
            QVERIFY(!messages_->messages.empty());
            QVERIFY2(messages_->messages.back().text.contains(path(QString::fromLatin1(name))),
                     name);
        }
        QCOMPARE(messages_->messages.size(), std::size_t{4});
        // Worded as the plotter words it: the file as the message, the parser's fault below.
        const Result<ThresholdTable> parsed =
            ThresholdFile::parse(readFile(path("flag.txt")).toStdString());
        QCOMPARE(messages_->messages[1].text,
                 qtText(Messages::thresholdFileUnreadable(nativeName(path("flag.txt")))));
        QCOMPARE(messages_->messages[1].detail, qtText(parsed.fault().message));
        QVERIFY(!parsed.fault().message.empty());
    }

    // A cell whose text is not wholly a number keeps its text, and a run its reading, but shows
    // in the warning colour by day and at night, its tooltip telling what it reads as.
    void cellsNotWhollyANumberAreMarked() {
        auto* cell = control<ThresholdCell>(form2(), "Text1(1)");
        const QColor normal = cell->palette().color(QPalette::Base);
        const QString ownTip = cell->toolTip();
        QVERIFY(!cell->warned());
        QVERIFY(ownTip.contains(QStringLiteral("真円度")));
        const struct {
            const char* name;
            const char* text;
            const char* tip;
        } marked[] = {{"Text1(1)", "1,5", "「1,5」は数として 1 と読みます。"},
                      {"Text2(1)", "abc", "「abc」は数として 0 と読みます。"},
                      {"Text3(1)", "1 5", "「1 5」は数として 15 と読みます。"},
                      {"Text4", "", "空欄は 0 と読みます。"}};
        for (const auto& m : marked) {
            auto* marked = control<ThresholdCell>(form2(), m.name);
            type(QLatin1String(m.name), QString::fromUtf8(m.text));
            QVERIFY2(marked->warned(), m.name);
            QVERIFY2(marked->toolTip().startsWith(QString::fromUtf8(m.tip)),
                     qPrintable(marked->toolTip()));
            QVERIFY(marked->palette().color(QPalette::Base) != normal);
        }
        QVERIFY(cell->toolTip().endsWith(ownTip));
        QCOMPARE(form1_->doubleStarWindow().table().circularity[1], "1,5");

        // The warning colour follows the night look and back.
        form1_->setNightMode(true);
        QTRY_COMPARE(cell->palette().color(QPalette::Base).green(), 0);
        QVERIFY(cell->palette().color(QPalette::Base) !=
                control<QLineEdit>(form2(), "Text1(2)")->palette().color(QPalette::Base));
        form1_->setNightMode(false);
        QTRY_VERIFY(cell->palette().color(QPalette::Base).green() > 0);
        QVERIFY(cell->palette().color(QPalette::Base) != normal);

        for (const char* text : {"0.5", " 2 ", "-1e3"}) {
            type(QStringLiteral("Text1(1)"), QString::fromLatin1(text));
            QVERIFY2(!cell->warned(), text);
            QCOMPARE(cell->toolTip(), ownTip);
            QCOMPARE(cell->palette().color(QPalette::Base), normal);
        }
    }

    void saveFailureIsReportedAndTheWindowRunsOn() {
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("folder")));
        save(QStringLiteral("folder"));
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QVERIFY(messages_->messages[0].text.contains(path("folder")));

        save(QStringLiteral("missing/limits.txt"));
        QCOMPARE(messages_->messages.size(), std::size_t{2});
        QVERIFY(messages_->messages[1].text.contains(path("missing/limits.txt")));

        // The window still works: the next save succeeds.
        save(QStringLiteral("limits.txt"));
        QCOMPARE(messages_->messages.size(), std::size_t{2});
        QVERIFY(readFile(path("limits.txt")).endsWith(" 0 True\r\n"));
    }
};

int main(int argc, char** argv) {
    tuneProcess();
    QApplication application(argc, argv);
    setUpApplication();
    applyWindowLook();
    DoubleStarWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "double_star_window_test.moc"
