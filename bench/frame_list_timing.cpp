// frame-list-timing: how long "フレーム一覧" takes over a folder of frames, and how long the
// window's thread is kept from its events meanwhile. The main window is made as at start-up, with
// the program's thread budget; the folder is added to the frame list and the clock runs until
// every frame has ended. Prints the seconds, the frames completed and the longest gap between two
// ticks of a 10 ms timer on the window's thread (how late a repaint could come), in milliseconds.
//   frame-list-timing FOLDER
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "app/frame_list_window.h"
#include "app/frame_table_model.h"
#include "app/main_window.h"
#include "app/window_look.h"
#include "platform/file_dialog_driver.h"
#include "platform/message_box.h"
#include "system/process_tuning.h"
#include "system/thread_budget.h"

namespace {

class NoDialogs : public FileDialogDriver {
public:
    std::optional<QString> open(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<QString> save(QWidget*, const QString&, ReplaceQuestion) override {
        return std::nullopt;
    }
};

class PrintedMessages : public MessageBox {
public:
    void show(QWidget*, const QString& text, const QString& detail) override {
        std::fprintf(stderr, "frame-list-timing: %s %s\n", qPrintable(text), qPrintable(detail));
    }
    bool ask(QWidget*, const QString&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    tuneProcess();  // as the program's main does
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: frame-list-timing FOLDER\n");
        return 2;
    }
    applyWindowLook();
    NoDialogs dialogs;
    PrintedMessages messages;
    ThreadBudget threads(ThreadBudget::cores() + 1);  // as the program makes it
    MainWindow form1(dialogs, messages, threads);
    form1.show();
    form1.showFrameList();
    FrameListWindow& list = *form1.frameList();
    // The windows' first paints (the fonts loaded) are start-up, not the frame list's work.
    QEventLoop settling;
    QTimer::singleShot(500, &settling, &QEventLoop::quit);
    settling.exec();

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticks;
    ticks.setInterval(10);
    QObject::connect(&ticks, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    QEventLoop ended;
    QObject::connect(&list, &FrameListWindow::idle, &ended, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticks.start();
    list.addPaths({QString::fromLocal8Bit(argv[1])});
    if (list.pending() > 0) ended.exec();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    ticks.stop();
    int completed = 0;
    for (const FrameRecord& frame : list.frames().frames()) completed += frame.done() ? 1 : 0;
    std::printf("%.2f %d %lld\n", seconds, completed, static_cast<long long>(longestGap));
    return 0;
}
