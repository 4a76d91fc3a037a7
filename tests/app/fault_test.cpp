// Faults met through the windows: a folder that refuses the file, a full disk, a star list that
// vanished after it was chosen, a clipboard taken by another program. Each shows one Japanese
// message naming what failed, keeps what the user had, and the windows go on working.
#include <sys/mount.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "../platform/file_permissions_enforced.h"
#include "app/double_star_window.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/window_look.h"
#include "recording_message_box.h"
#include "scripted_file_dialog_driver.h"
#include "window_fixture.h"
#include "window_test_support.h"

namespace {

// One single star of area 400 at (100, 100).
const QByteArray kOneStar = "M42\r\n1,400,100,100,0,0,30,30,5,6,45,0.9\r\n";
// One single star of area 400 at (300, 80).
const QByteArray kOtherStar = "M42\r\n1,400,300,80,0,0,30,30,5,6,45,0.9\r\n";
const QByteArray kOldImage = "BM the plot saved yesterday";
const QByteArray kOldTable = " .9  .8  .25 \r\n";

bool darkNear(const RasterSurface& plot, int x, int y) {
    for (int j = y - 2; j <= y + 2; ++j) {
        for (int i = x - 2; i <= x + 2; ++i) {
            if (plot.at(i, j) < 128) return true;
        }
    }
    return false;
}

// Another program that takes the clipboard the moment anything is put on it.
class ClipboardThief : public QObject {
public:
    ClipboardThief() {
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
            if (stealing_) return;
            stealing_ = true;
            QGuiApplication::clipboard()->setText(QStringLiteral("someone else's text"));
            stealing_ = false;
        });
    }

private:
    bool stealing_ = false;
};

}  // namespace

class FaultTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    QString singles(int row) {
        return control<QLabel>(form2(), QStringLiteral("Label2(%1)").arg(row))->text();
    }
    const RasterSurface& plot() { return form1_->plot().surface(); }
    const std::vector<RecordingMessageBox::Message>& messages() { return messages_->messages; }
    void drawFile(const QString& name, const QByteArray& content) {
        writeFile(path(name), content);
        dialogs_->choose(path(name));
        click(form1(), "Command3");
        click(form1(), "Command1");
    }
    // A folder holding one old file, then made read-only.
    QString readOnlyFolderWith(const QString& name, const QByteArray& content) {
        QDir(dir_->path()).mkpath(QStringLiteral("読み取り専用"));
        const QString file = path(QStringLiteral("読み取り専用/") + name);
        writeFile(file, content);
        ::chmod(QFile::encodeName(path(QStringLiteral("読み取り専用"))).constData(), 0555);
        return file;
    }

private slots:
    void init() {
        QVERIFY(openWindows());
        click(form1(), "Option1(0)");
    }

    void cleanup() {
        const bool used = closeWindows();
        ::chmod(QFile::encodeName(path(QStringLiteral("読み取り専用"))).constData(), 0700);
        QVERIFY2(used, "a scripted dialog answer was not used");
    }

    void imageExportIntoReadOnlyFolderKeepsTheOldFile() {
        drawFile(QStringLiteral("m42.txt"), kOneStar);
        const QString old = readOnlyFolderWith(QStringLiteral("plot.bmp"), kOldImage);
        const FilePermissionsEnforced enforced;
        if (!enforced.active()) QSKIP("root without the right to drop its file override");
        messages_->answers.push_back(true);  // "はい": replace the old plot
        dialogs_->choose(old);
        click(form1(), "Command8");
        QCOMPARE(messages().size(), std::size_t{1});
        QVERIFY(messages()[0].text.startsWith(QStringLiteral("画像ファイル「%1」を").arg(old)));
        QCOMPARE(readFile(old), kOldImage);

        dialogs_->choose(path(QStringLiteral("plot.bmp")));
        click(form1(), "Command8");
        QCOMPARE(messages().size(), std::size_t{1});
        QCOMPARE(QImage(path(QStringLiteral("plot.bmp"))).size(), QSize(3034, 2018));
    }

    void thresholdSaveIntoReadOnlyFolderKeepsTheOldFile() {
        click(form1(), "Command9");
        click(form2(), "Command1");
        const QString old = readOnlyFolderWith(QStringLiteral("limits.txt"), kOldTable);
        const FilePermissionsEnforced enforced;
        if (!enforced.active()) QSKIP("root without the right to drop its file override");
        dialogs_->choose(old);
        click(form2(), "Command4");
        QCOMPARE(messages().size(), std::size_t{1});
        QVERIFY(messages()[0].text.startsWith(QStringLiteral("ファイル「%1」を").arg(old)));
        QCOMPARE(readFile(old), kOldTable);
        QCOMPARE(control<QLineEdit>(form2(), "Text3(1)")->text(), QStringLiteral("0.1"));
    }

    void imageExportOntoFullDiskKeepsTheOldFile() {
        const QString disk = path(QStringLiteral("disk"));
        QDir().mkpath(disk);
        if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") != 0) {
            QSKIP("no right to mount a small file system");
        }
        const QString old = disk + QStringLiteral("/plot.bmp");
        writeFile(old, kOldImage);
        drawFile(QStringLiteral("m42.txt"), kOneStar);
        messages_->answers.push_back(true);  // "はい": replace the old plot
        dialogs_->choose(old);
        click(form1(), "Command8");
        const QByteArray kept = readFile(old);
        const QStringList left = QDir(disk).entryList(QDir::Files);
        ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH);
        QCOMPARE(messages().size(), std::size_t{1});
        QVERIFY(messages()[0].text.startsWith(QStringLiteral("画像ファイル「%1」を").arg(old)));
        QCOMPARE(kept, kOldImage);
        QCOMPARE(left, QStringList{QStringLiteral("plot.bmp")});
    }

    void starListDeletedBetweenChoosingAndDrawing() {
        drawFile(QStringLiteral("m42.txt"), kOneStar);
        QCOMPARE(singles(8), QStringLiteral("1"));
        const QString gone = path(QStringLiteral("消える リスト.txt"));
        writeFile(gone, kOtherStar);
        dialogs_->choose(gone);
        click(form1(), "Command3");
        QVERIFY(QFile::remove(gone));
        click(form1(), "Command1");
        QCOMPARE(messages().size(), std::size_t{1});
        QCOMPARE(messages()[0].text,
                 QStringLiteral("星のリスト「%1」を開けません（ファイルまたはフォルダがありません）。")
                     .arg(gone));
        QVERIFY(darkNear(plot(), 100, 100));  // the earlier plot and counts are kept
        QCOMPARE(singles(8), QStringLiteral("1"));
        QCOMPARE(form1().starFile(), gone);  // the choice stays, to draw once the file is back
        writeFile(gone, kOtherStar);
        click(form1(), "Command1");
        QCOMPARE(messages().size(), std::size_t{1});
        QVERIFY(darkNear(plot(), 300, 80));
    }

    void clipboardTakenByAnotherProgram() {
        {
            const ClipboardThief thief;
            drawFile(QStringLiteral("m42.txt"), kOneStar);
        }
        QCOMPARE(messages().size(), std::size_t{1});
        QCOMPARE(messages()[0].text,
                 QStringLiteral("プロットの画像をクリップボードに置けませんでした。"));
        // The run itself completed: its counts are shown and its plot is kept.
        QCOMPARE(singles(8), QStringLiteral("1"));
        QVERIFY(darkNear(plot(), 100, 100));

        click(form1(), "Command1");
        QCOMPARE(messages().size(), std::size_t{1});
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(3034, 2018));
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    applyWindowLook();
    FaultTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "fault_test.moc"
