#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include <cmath>
#include <sstream>

#include "app/application_setup.h"
#include "app/frame_chart.h"
#include "app/frame_list_window.h"
#include "app/frame_table_model.h"
#include "app/plot_view.h"
#include "app/rejection_mover.h"
#include "app/window_look.h"
#include "cli/headless_plotter.h"
#include "output/summary_table.h"
#include "platform/image_file.h"
#include "platform/qt_text.h"
#include "window_fixture.h"

namespace {

// A star list of `singles` round stars of area 400 and `doubles` stars of area 15 that the
// initial limits call double by their shape.
QByteArray starList(int singles, int doubles) {
    QByteArray list = "frame\r\n";
    int index = 0;
    for (int i = 0; i < singles; ++i) {
        ++index;
        list += QByteArray::number(index) + "," + "400," + QByteArray::number(100 + 60 * index) +
                ",100,0,0,30,30,5,6,45,0.9\r\n";
    }
    for (int i = 0; i < doubles; ++i) {
        ++index;
        list += QByteArray::number(index) + ",15," + QByteArray::number(100 + 60 * index) +
                ",300,0,0,5,5,4,6,10,0.5\r\n";
    }
    return list;
}

const QByteArray kMismatch = "frame\r\n2,400,100,100,0,0,30,30,5,6,45,0.9\r\n";

// A 240 × 160 16-bit FITS frame of twelve round stars of FWHM 3 on a slightly noisy sky, its
// camera and exposure in its header.
QByteArray fitsFrame() {
    const auto card = [](const char* text) { return QByteArray(text).leftJustified(80, ' '); };
    QByteArray file =
        card("SIMPLE  =                    T") + card("BITPIX  =                   16") +
        card("NAXIS   =                    2") + card("NAXIS1  =                  240") +
        card("NAXIS2  =                  160") + card("BZERO   =                32768") +
        card("INSTRUME= 'ZWO ASI294MM Pro'") + card("EXPTIME =                 120.") + card("END");
    file = file.leftJustified(2880, ' ');
    unsigned state = 7;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 240; ++x) {
            state = state * 1103515245u + 12345u;
            double v = 1000 + static_cast<double>((state >> 16) % 5) - 2;
            for (int k = 0; k < 12; ++k) {
                const double dx = x - (25 + 60 * (k % 4) + 0.3 * k);
                const double dy = y - (30 + 50 * (k / 4) + 0.2 * k);
                v += 4000 * std::exp(-(dx * dx + dy * dy) / (2 * 1.274 * 1.274));
            }
            const auto stored = static_cast<std::uint16_t>(static_cast<int>(v) - 32768);
            file += static_cast<char>(stored >> 8);
            file += static_cast<char>(stored & 0xFF);
        }
    }
    return file.leftJustified((file.size() + 2879) / 2880 * 2880, '\0');
}

}  // namespace

class FrameListWindowTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    FrameListWindow& list() { return *form1().frameList(); }
    const FrameTableModel& model() { return list().frames(); }
    QTableView& table() { return *control<QTableView>(list(), "FrameTable"); }
    QString night(const QString& name = {}) { return path(QStringLiteral("night/") + name); }

    // A night of four frames in a folder, one of them broken, beside a rejected frame of an
    // earlier night and a file that is no frame.
    void writeNight() {
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("night/rejected")));
        writeFile(night("f01.txt"), starList(3, 1));
        writeFile(night("f02.txt"), starList(1, 3));
        writeFile(night("f03.txt"), kMismatch);
        writeFile(night("f04.txt"), starList(4, 0));
        writeFile(night("notes.csv"), "not a frame");
        writeFile(night("rejected/f02.txt"), "old");
    }
    void openList() {
        QTest::keyClick(&form1(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(form1().frameList() != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(&list()));
    }
    // Until every frame added has ended.
    bool waitForFrames() {
        return QTest::qWaitFor(
            [this] {
                return std::none_of(model().frames().begin(), model().frames().end(),
                                    [](const FrameRecord& f) {
                                        return f.state == FrameRecord::State::Waiting ||
                                               f.state == FrameRecord::State::Running;
                                    });
            },
            60000);
    }
    QString cell(int number, int column) {
        return FrameTableModel::text(*model().frame(number), column);
    }
    QStringList row(int number) {
        QStringList cells;
        for (const int c : {FrameTableModel::File, FrameTableModel::State, FrameTableModel::Stars,
                            FrameTableModel::Singles, FrameTableModel::Doubles,
                            FrameTableModel::Fraction, FrameTableModel::Roundness}) {
            cells << cell(number, c);
        }
        return cells;
    }
    // The files as the table shows them, top to bottom.
    QStringList shownFiles() {
        QStringList files;
        for (int r = 0; r < table().model()->rowCount(); ++r) {
            files << table().model()->index(r, FrameTableModel::File).data().toString();
        }
        return files;
    }
    void clickHeader(int column) {
        QHeaderView* header = table().horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    void clickRow(int number) {
        for (int r = 0; r < table().model()->rowCount(); ++r) {
            const QModelIndex at = table().model()->index(r, FrameTableModel::Number);
            if (at.data().toInt() != number) continue;
            QTest::mouseClick(table().viewport(), Qt::LeftButton, {},
                              table().visualRect(at).center());
        }
        waitForRun();
    }
    QStringList counts() {
        QStringList texts;
        for (int k = 1; k <= 8; ++k) {
            for (const char* column : {"Label2", "Label3"}) {
                texts << control<QLabel>(form2(),
                                         QStringLiteral("%1(%2)").arg(QLatin1String(column)).arg(k))
                             ->text();
            }
        }
        return texts;
    }
    QImage plotImage() { return ImageFile::copy(form1().plot().surface()); }
    // The night added as a folder and waited for.
    void addNight() {
        writeNight();
        openList();
        dialogs_->choose(night());
        click(list(), "AddFolder");
        QVERIFY(waitForFrames());
    }

private slots:
    void init() { QVERIFY(openWindows()); }
    void cleanup() { QVERIFY2(closeWindows(), "a scripted dialog answer was not used"); }

    // A folder, files chosen and a drop add frames, each once, with the settings of the moment
    // they were added; one broken frame shows its message and stops nothing; "再計算" takes the
    // settings as they are now.
    void addingFramesRunsEachWithItsSettings() {
        control<QLineEdit>(form1(), "Text3")->setText(QStringLiteral("20"));
        addNight();
        QCOMPARE(model().frames().size(), std::size_t{4});
        QCOMPARE(row(1), QStringList({"f01.txt", "完了", "4", "3", "1", "0.250", "0.900"}));
        QCOMPARE(row(2), QStringList({"f02.txt", "完了", "4", "1", "3", "0.750", "0.500"}));
        QCOMPARE(row(3),
                 QStringList({"f03.txt", "失敗: データ構造が違います", "", "", "", "", ""}));
        QCOMPARE(row(4), QStringList({"f04.txt", "完了", "4", "4", "0", "0.000", "0.900"}));
        QCOMPARE(list().chart().frameCount(), 3);
        auto* header = control<QLabel>(list(), "FrameSettings");
        QVERIFY(header->text().contains(QStringLiteral("星の大きさ 20")));
        QVERIFY(header->text().contains(QStringLiteral("10-19 0.9 / 0.8 / 0.25")));

        // Settings changed afterwards reach only frames added afterwards, and "再計算".
        control<QLineEdit>(form1(), "Text3")->setText(QStringLiteral("40"));
        writeFile(night("f05.txt"), starList(2, 2));
        dialogs_->chooseAll({night("f01.txt"), night("f05.txt")});
        click(list(), "AddFiles");
        QVERIFY(waitForFrames());
        QCOMPARE(model().frames().size(), std::size_t{5});
        QCOMPARE(model().frame(5)->request.controls.starSize, std::string("40"));
        QCOMPARE(model().frame(1)->request.controls.starSize, std::string("20"));

        // Several files dropped on the main window are frames too; a file already listed is
        // not listed again.
        writeFile(path("g01.txt"), starList(1, 1));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path("g01.txt")), QUrl::fromLocalFile(night("f02.txt"))});
        QDragEnterEvent enter({300, 300}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form1(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form1(), &drop);
        QVERIFY(waitForFrames());
        QCOMPARE(model().frames().size(), std::size_t{6});
        QCOMPARE(cell(6, FrameTableModel::Fraction), QStringLiteral("0.500"));
        QVERIFY(form1().starFile().isEmpty());

        click(list(), "Recalculate");
        QVERIFY(waitForFrames());
        QCOMPARE(model().frame(1)->request.controls.starSize, std::string("40"));
        QCOMPARE(cell(1, FrameTableModel::State), QStringLiteral("完了"));
        // "中止" leaves nothing running; whatever it stopped says so.
        click(list(), "Recalculate");
        click(list(), "StopAll");
        QVERIFY(waitForFrames());
        for (const FrameRecord& frame : model().frames()) {
            const QString state = FrameTableModel::stateText(frame);
            QVERIFY2(state == "完了" || state == "中止" || state.startsWith("失敗"),
                     qPrintable(state));
        }

        // A frame shown later warns of its own star size below 1, not of the one typed now.
        control<QLineEdit>(form1(), "Text3")->setText(QStringLiteral("0.5"));
        writeFile(path("g02.txt"), starList(1, 1));
        dialogs_->chooseAll({path("g02.txt")});
        click(list(), "AddFiles");
        QVERIFY(waitForFrames());
        control<QLineEdit>(form1(), "Text3")->setText(QStringLiteral("30"));
        clickRow(7);
        QVERIFY(control<QLabel>(form1(), "StatusNotice")->text().contains("星の大きさ「0.5」"));
        QVERIFY(messages_->messages.empty());
    }

    // Sorting by any column; a selected frame is shown in the main window exactly as "描画"
    // shows it, the clipboard with it; a click on the chart selects the frame of the point.
    void sortingAndSelectingFollowTheMainWindow() {
        addNight();
        clickHeader(FrameTableModel::Fraction);
        QStringList files = shownFiles();
        files.removeAll(QStringLiteral("f03.txt"));
        QCOMPARE(files, QStringList({"f04.txt", "f01.txt", "f02.txt"}));
        clickHeader(FrameTableModel::Fraction);
        files = shownFiles();
        files.removeAll(QStringLiteral("f03.txt"));
        QCOMPARE(files, QStringList({"f02.txt", "f01.txt", "f04.txt"}));
        clickHeader(FrameTableModel::File);
        QCOMPARE(shownFiles(), QStringList({"f01.txt", "f02.txt", "f03.txt", "f04.txt"}));

        clickRow(2);
        QCOMPARE(list().selectedFrame(), 2);
        const QImage shown = plotImage();
        const QStringList shownCounts = counts();
        QCOMPARE(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                 shown.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(shownCounts.mid(2, 2), QStringList({"", "3"}));    // class 10-19
        QCOMPARE(shownCounts.mid(14, 2), QStringList({"1", "0"}));  // class 300-
        // The same file drawn with "描画" gives the same plot and counts.
        form1().takeStarFile(night("f02.txt"));
        control<PlotView>(form1(), "Picture1")->clearPlot();
        click(form1(), "Command1");
        QCOMPARE(plotImage(), shown);
        QCOMPARE(counts(), shownCounts);

        const std::optional<QPoint> point = list().chart().pointOf(4);
        QVERIFY(point.has_value());
        QTest::mouseClick(list().chart().viewport(), Qt::LeftButton, {}, *point);
        waitForRun();
        QCOMPARE(list().selectedFrame(), 4);
        QCOMPARE(counts().mid(14, 2), QStringList({"4", "0"}));
        QVERIFY(messages_->messages.empty());
    }

    // "描画" finds a thread of its own while the frames take one per core.
    void drawingWhileFramesRun() {
        openList();
        QStringList big;
        for (const char* name : {"b1.txt", "b2.txt", "b3.txt", "b4.txt"}) {
            writeFile(path(name), starList(30000, 30000));
            big << path(name);
        }
        writeFile(path("one.txt"), starList(1, 0));
        form1().takeStarFile(path("one.txt"));
        list().addPaths(big);
        QVERIFY(list().pending() > 0);
        click(form1(), "Command1");
        QVERIFY(messages_->messages.empty());
        QCOMPARE(counts().mid(14, 2), QStringList({"1", "0"}));
        QVERIFY(waitForFrames());
        QCOMPARE(cell(4, FrameTableModel::Stars), QStringLiteral("60000"));
        // Numbers sort as numbers: 60000 after 4 ... here after a frame of one star.
        list().addPaths({path("one.txt")});
        QVERIFY(waitForFrames());
        clickHeader(FrameTableModel::Stars);
        QCOMPARE(shownFiles().constFirst(), QStringLiteral("one.txt"));
    }

    // A frame's file is never put where another file is: numbered names, also before a packed
    // FITS ending, and back under a number when the old name was taken meanwhile.
    void movedFilesNeverReplaceOthers() {
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("rejected")));
        writeFile(path("m.fits.gz"), "frame");
        writeFile(path("rejected/m.fits.gz"), "earlier");
        const RejectionMover::Moved out = RejectionMover::reject(path("m.fits.gz"));
        QCOMPARE(out.path, path("rejected/m-2.fits.gz"));
        QVERIFY(out.fault.isEmpty());
        writeFile(path("m.fits.gz"), "new frame of the same name");
        const RejectionMover::Moved back = RejectionMover::restore(out.path, path("m.fits.gz"));
        QCOMPARE(back.path, path("m-2.fits.gz"));
        QCOMPARE(readFile(path("m-2.fits.gz")), QByteArray("frame"));
        QCOMPARE(readFile(path("m.fits.gz")), QByteArray("new frame of the same name"));
        QCOMPARE(readFile(path("rejected/m.fits.gz")), QByteArray("earlier"));
        const RejectionMover::Moved gone = RejectionMover::reject(path("gone.fits"));
        QCOMPARE(gone.path, path("gone.fits"));
        QVERIFY(gone.fault.contains(QStringLiteral("gone.fits")));
    }

    // A photograph's frame shows its camera, exposure and FWHM; the CSV is what quendra-plot
    // --summary writes for the same files with the same settings.
    void photographsAndTheSummarysColumns() {
        writeFile(path("sky.fits"), fitsFrame());
        writeFile(path("list.txt"), starList(3, 1));
        openList();
        list().addPaths({path("sky.fits"), path("list.txt")});
        QVERIFY(waitForFrames());
        QCOMPARE(cell(1, FrameTableModel::State), QStringLiteral("完了"));
        QCOMPARE(cell(1, FrameTableModel::Stars), QStringLiteral("12"));
        QCOMPARE(cell(1, FrameTableModel::Camera), QStringLiteral("ZWO ASI294MM Pro"));
        QCOMPARE(cell(1, FrameTableModel::Exposure), QStringLiteral("120 s"));
        QVERIFY(!cell(1, FrameTableModel::Fwhm).isEmpty());
        QCOMPARE(cell(2, FrameTableModel::Fwhm), QString());
        QVERIFY(!table().isColumnHidden(FrameTableModel::Camera));

        dialogs_->choose(path("frames.csv"));
        click(list(), "SaveCsv");
        std::ostringstream out;
        std::ostringstream err;
        const int status =
            HeadlessPlotter().run({"--quiet", "--summary", nativeName(path("plotter.csv")),
                                   nativeName(path("sky.fits")), nativeName(path("list.txt"))},
                                  out, err);
        QCOMPARE(status, HeadlessPlotter::kCompleted);
        QCOMPARE(readFile(path("frames.csv")), readFile(path("plotter.csv")));
        // 診断 in words, the map's sentences in its tooltip.
        QCOMPARE(cell(2, FrameTableModel::Reading), QStringLiteral("星が少ない"));
        const QModelIndex reading = model().index(1, FrameTableModel::Reading);
        QVERIFY(reading.data(Qt::ToolTipRole)
                    .toString()
                    .startsWith(QStringLiteral("描かれた星が 4 個")));
    }

    // Rejecting by the limit and by hand; moving the rejected files beside them and back, never
    // replacing a file; a file that cannot be moved stays and is reported. The CSV has the
    // summary's columns, the copy the table's.
    void rejectingMovingAndExporting() {
        addNight();
        control<QCheckBox>(list(), "LimitFraction")->setChecked(true);
        control<QDoubleSpinBox>(list(), "FractionLimit")->setValue(0.2);
        QCOMPARE(cell(1, FrameTableModel::State), QStringLiteral("不採用"));
        QCOMPARE(cell(2, FrameTableModel::State), QStringLiteral("不採用"));
        QCOMPARE(cell(4, FrameTableModel::State), QStringLiteral("完了"));
        clickRow(1);
        click(list(), "KeepByHand");
        QCOMPARE(cell(1, FrameTableModel::State), QStringLiteral("採用（手動）"));
        // A frame of another folder, where a file takes the name `rejected`.
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("other")));
        writeFile(path("other/g01.txt"), starList(2, 0));
        writeFile(path("other/rejected"), "a file");
        list().addPaths({path("other/g01.txt")});
        QVERIFY(waitForFrames());
        clickRow(5);
        click(list(), "RejectByHand");
        QCOMPARE(cell(5, FrameTableModel::State), QStringLiteral("不採用（手動）"));

        click(list(), "MoveRejected");
        QCOMPARE(messages_->messages.size(), std::size_t{1});
        QVERIFY(messages_->messages[0].detail.contains(QStringLiteral("rejected")));
        QVERIFY(QFile::exists(path("other/g01.txt")));
        QCOMPARE(readFile(night("rejected/f02-2.txt")), starList(1, 3));
        QCOMPARE(readFile(night("rejected/f02.txt")), QByteArray("old"));
        QVERIFY(!QFile::exists(night("f02.txt")));
        QVERIFY(QFile::exists(night("f01.txt")));
        QCOMPARE(cell(2, FrameTableModel::State), QStringLiteral("不採用（移動済み）"));
        QCOMPARE(cell(2, FrameTableModel::File), QStringLiteral("f02-2.txt"));

        // Back where it was, while the first night's rejected frame stays.
        click(list(), "UndoMove");
        QCOMPARE(readFile(night("f02.txt")), starList(1, 3));
        QVERIFY(!QFile::exists(night("rejected/f02-2.txt")));
        QCOMPARE(readFile(night("rejected/f02.txt")), QByteArray("old"));
        QCOMPARE(cell(2, FrameTableModel::State), QStringLiteral("不採用"));

        dialogs_->choose(path("frames.csv"));
        click(list(), "SaveCsv");
        const QStringList lines =
            QString::fromUtf8(readFile(path("frames.csv"))).split(QStringLiteral("\r\n"));
        QCOMPARE(lines[0] + "\r\n", QString::fromStdString(SummaryTable::csvHeader()));
        QVERIFY(lines[1].startsWith(night("f01.txt") + ",completed,,4,4,0,0,0,1,"));
        QVERIFY(lines[3].startsWith(night("f03.txt") + ",stopped,\"データ構造が違います"));
        QCOMPARE(lines.size(), 7);  // five frames, the header and the end of the last line

        click(list(), "CopyTable");
        const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'));
        QCOMPARE(copied[0], QStringLiteral("番号\tファイル\t状態\t星の数\t単星\t重星\t重星率\tFWHM"
                                           "\t真円度\t診断"));
        QCOMPARE(copied[2],
                 QStringLiteral("2\tf02.txt\t不採用\t4\t1\t3\t0.750\t\t0.500\t星が少ない"));
        QCOMPARE(copied.size(), 7);  // five frames, the header and the last line's end
    }

    // A watched folder takes the frames already there, then a new one only once it has stopped
    // growing: the frame written in two steps is read whole.
    void watchedFolderTakesFilesOnceComplete() {
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("capture")));
        writeFile(path("capture/a.txt"), starList(1, 0));
        openList();
        dialogs_->choose(path("capture"));
        click(list(), "WatchFolder");
        QCOMPARE(control<QPushButton>(list(), "WatchFolder")->text(),
                 QStringLiteral("監視をやめる"));
        QVERIFY(QTest::qWaitFor([this] { return model().frames().size() == 1; }, 5000));

        const QByteArray whole = starList(5, 5);
        writeFile(path("capture/b.txt"), whole.left(whole.size() / 2));
        QTest::qWait(700);
        QFile growing(path("capture/b.txt"));
        QVERIFY(growing.open(QIODevice::Append));
        growing.write(whole.mid(whole.size() / 2));
        growing.close();
        QTest::qWait(700);
        QCOMPARE(model().frames().size(), std::size_t{1});
        QVERIFY(QTest::qWaitFor([this] { return model().frames().size() == 2; }, 5000));
        QVERIFY(waitForFrames());
        QCOMPARE(row(2).mid(0, 5), QStringList({"b.txt", "完了", "10", "5", "5"}));

        click(list(), "WatchFolder");
        QCOMPARE(control<QPushButton>(list(), "WatchFolder")->text(),
                 QStringLiteral("フォルダを監視"));
        writeFile(path("capture/c.txt"), starList(1, 0));
        QTest::qWait(1500);
        QCOMPARE(model().frames().size(), std::size_t{2});
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (!setUpApplication()) return 1;
    applyWindowLook();
    FrameListWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "frame_list_window_test.moc"
