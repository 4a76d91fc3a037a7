// What the windows remember between sessions, in a settings file of the test's own: the very
// first start, every setting kept and taken back, "初期設定に戻す", and files the store must
// survive. The user's own settings are never read or written.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include "app/application_setup.h"
#include "app/frame_list_window.h"
#include "app/plot_view.h"
#include "app/settings_store.h"
#include "app/shape_map_window.h"
#include "app/status_line.h"
#include "app/window_look.h"
#include "system/process_tuning.h"
#include "window_fixture.h"

namespace {

// Every text box and cell of both windows, the bars, boxes, cameras and modes, by name.
QStringList state(MainWindow& form1) {
    QStringList shown;
    for (QWidget* window :
         {static_cast<QWidget*>(&form1), static_cast<QWidget*>(&form1.doubleStarWindow())}) {
        const QString prefix = window->objectName() + QLatin1Char('.');
        for (const QLineEdit* box : window->findChildren<QLineEdit*>()) {
            shown << prefix + box->objectName() + QLatin1Char('=') + box->text();
        }
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (button->isCheckable()) {
                shown << prefix + button->objectName() +
                             (button->isChecked() ? QStringLiteral(" on") : QStringLiteral(" off"));
            }
        }
        for (const QScrollBar* bar : window->findChildren<QScrollBar*>()) {
            shown << prefix + bar->objectName() + QLatin1Char('=') + QString::number(bar->value());
        }
    }
    shown << QStringLiteral("night ") + (form1.nightMode() ? "on" : "off");
    shown << QStringLiteral("shape map grid %1").arg(form1.shapeMap().grid());
    shown.sort();
    return shown;
}

}  // namespace

class SettingsStoreTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    QString settingsFile() const { return path(QStringLiteral("config/quendra.conf")); }
    // The main window of a new session on the test's settings file.
    void startSession() {
        form1_.reset();
        store_ = std::make_unique<SettingsStore>(settingsFile());
        form1_ = std::make_unique<MainWindow>(*dialogs_, *messages_, threads_, store_.get());
        form1_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form1_.get()));
    }
    // "終了": the session is kept.
    void endSession() { click(form1(), "Command2"); }
    QLineEdit& box(QWidget& window, const char* name) { return *control<QLineEdit>(window, name); }
    void choose(const QString& name) {
        dialogs_->choose(path(name));
        click(form1(), "Command3");
    }

    std::unique_ptr<SettingsStore> store_;

private slots:
    void init() {
        QVERIFY(openWindows());
        designDefaults_ = state(form1());
    }
    void cleanup() {
        applyNightLook(false);  // the look is the application's: the next test starts by day
        QVERIFY2(closeWindows(), "a scripted dialog answer was not used");
        store_.reset();
    }

    // The test's settings never reach the user's: the program's own file lies in Qt's test
    // folder here.
    void userSettingsAreNotTouched() {
        QVERIFY2(SettingsStore::userPath().contains(QStringLiteral("qttest")),
                 qPrintable(SettingsStore::userPath()));
    }

    // With no settings file, the window shows the design defaults exactly, and "終了" writes one.
    void firstStartShowsTheDesignDefaults() {
        startSession();
        QCOMPARE(state(form1()), designDefaults_);
        QCOMPARE(form1().plot().size(), QSize(3902, 2596));
        QVERIFY(form1().starFile().isEmpty());
        QCOMPARE(control<QRadioButton>(form1(), "Option1(1)")->isChecked(), true);
        endSession();
        QVERIFY(QFile::exists(settingsFile()));
        startSession();
        QCOMPARE(state(form1()), designDefaults_);
    }

    // Every setting of both windows, the chosen file, the dialog's folder and the windows'
    // places come back in the next session; "初期設定に戻す" returns the settings to the design
    // defaults once the user agrees, keeping the file.
    void everySettingIsKeptAndResetReturnsToTheDefaults() {
        startSession();
        writeFile(path("星 m42.txt"), "M42\r\n1,400,100,100,0,0,30,30,5,6,45,0.9\r\n");
        choose(QStringLiteral("星 m42.txt"));
        click(form1(), "Option1(0)");
        click(form1(), "Command7");
        control<QScrollBar>(form1(), "HScroll1")->setValue(20);
        box(form1(), "Text3").setText(QStringLiteral("45"));
        control<QScrollBar>(form1(), "HScroll2")->setValue(100);
        box(form1(), "Text7").setText(QStringLiteral("5"));
        box(form1(), "Text8").setText(QStringLiteral("5000"));
        click(form1(), "Check1");
        click(form1(), "Check2");
        click(form1(), "Command9");
        box(form2(), "Text1(1)").setText(QStringLiteral("1,5"));
        box(form2(), "Text2(3)").setText(QStringLiteral("星"));
        box(form2(), "Text3(7)").setText(QString());
        box(form2(), "Text4").setText(QStringLiteral("12.5"));
        click(form2(), "Option2");
        form2().move(form2().pos() + QPoint(40, 30));
        const QPoint form2At = form2().pos();
        form1().move(100, 120);
        const QPoint form1At = form1().pos();
        form1().setNightMode(true);
        form1().shapeMap().setGrid(5);
        control<QAction>(form1().plotMenu(), "ShowShapeMap")->trigger();
        form1().shapeMap().move(300, 200);
        const QPoint shapeMapAt = form1().shapeMap().pos();
        const QStringList changed = state(form1());
        QVERIFY(changed != designDefaults_);
        form1().showFrameList();
        form1().frameList()->move(300, 200);
        const QPoint framesAt = form1().frameList()->pos();
        endSession();

        startSession();
        QCOMPARE(state(form1()), changed);
        // The plot takes its size from 横 and 縦, as at every start.
        QCOMPARE(form1().plot().size(), QSize(2018, 3034));
        QCOMPARE(form1().starFile(), path("星 m42.txt"));
        QCOMPARE(control<QLabel>(form1(), "StatusFile")->text(),
                 QStringLiteral("ファイル: 星 m42.txt"));
        QCOMPARE(box(form1(), "Text1").text(), QStringLiteral("2018"));
        QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(form1().pos(), form1At);
        click(form1(), "Command9");
        QCOMPARE(form2().pos(), form2At);
        control<QAction>(form1().plotMenu(), "ShowShapeMap")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&form1().shapeMap()));
        QCOMPARE(form1().shapeMap().pos(), shapeMapAt);
        dialogs_->cancel();
        click(form1(), "Command3");
        QCOMPARE(dialogs_->shown().back().proposed, path("星 m42.txt"));

        // A "いいえ" leaves everything; a "はい" returns to the design defaults.
        control<QAction>(form1().plotMenu(), "ResetSettings")->trigger();
        QCOMPARE(messages_->questions.size(), std::size_t{1});
        QCOMPARE(state(form1()), changed);
        messages_->answers.push_back(true);
        control<QAction>(form1().plotMenu(), "ResetSettings")->trigger();
        QCOMPARE(state(form1()), designDefaults_);
        QCOMPARE(form1().plot().size(), QSize(3902, 2596));
        QCOMPARE(form1().starFile(), path("星 m42.txt"));
        QVERIFY(messages_->messages.empty());
        form1().showFrameList();
        QCOMPARE(form1().frameList()->pos(), framesAt);
    }

    // A file gone since is not chosen again, but the dialog opens where it was; a settings file
    // edited by hand loses only what does not read.
    void missingFilesAndHandEditedSettings() {
        startSession();
        writeFile(path("gone.txt"), "M42\r\n");
        choose(QStringLiteral("gone.txt"));
        endSession();
        QVERIFY(QFile::remove(path("gone.txt")));
        {
            QSettings file(settingsFile(), QSettings::IniFormat);
            file.setValue(QStringLiteral("main/subPixel"), QStringLiteral("maybe"));
            file.setValue(QStringLiteral("main/starSizeBar"), QStringLiteral("999"));
            file.setValue(QStringLiteral("main/greyBar"), QStringLiteral("abc"));
            file.setValue(QStringLiteral("windows/main"), QStringLiteral("not a place"));
            file.setValue(QStringLiteral("windows/doubleStar"), QByteArray("garbage"));
        }
        writeFile(settingsFile(), readFile(settingsFile()) + "\n[extra]\nkey=1,5\n");
        QString edited = QString::fromUtf8(readFile(settingsFile()));
        edited.replace(QRegularExpression(QStringLiteral("circularity1=[^\\n]*")),
                       QStringLiteral("circularity1=1,5"));
        writeFile(settingsFile(), edited.toUtf8());

        startSession();
        QVERIFY(form1().starFile().isEmpty());
        dialogs_->cancel();
        click(form1(), "Command3");
        QCOMPARE(dialogs_->shown().back().proposed, path("gone.txt"));
        QVERIFY(control<QCheckBox>(form1(), "Check1")->isChecked());
        QCOMPARE(control<QScrollBar>(form1(), "HScroll1")->value(), 60);
        QCOMPARE(control<QScrollBar>(form1(), "HScroll2")->value(), 0);
        QCOMPARE(box(form2(), "Text1(1)").text(), QStringLiteral("1,5"));
        QVERIFY(messages_->messages.empty());

        // A settings file that cannot be written is no reason to stay open.
        QVERIFY(QFile::remove(settingsFile()));
        QVERIFY(QDir().mkpath(settingsFile()));
        endSession();
        QVERIFY(!form1().isVisible());
    }

private:
    QStringList designDefaults_;
};

int main(int argc, char** argv) {
    tuneProcess();
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    if (!setUpApplication()) return 1;
    applyWindowLook();
    SettingsStoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "settings_store_test.moc"
