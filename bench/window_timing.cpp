// window-timing: how long "描画" keeps the user waiting, the clipboard included. The main window
// is made as at start-up, the star list is chosen through its file dialog, then "描画" is clicked
// RUNS times; each time counts from the click until the window has painted the new plot.
// Prints the median in milliseconds.
//   window-timing STARLIST RUNS
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "app/main_window.h"
#include "app/window_look.h"
#include "platform/file_dialog_driver.h"
#include "platform/message_box.h"
#include "system/thread_budget.h"

namespace {

// Every open dialog chooses the star list; nothing is saved.
class ChosenList : public FileDialogDriver {
public:
    explicit ChosenList(QString path) : path_(std::move(path)) {}
    std::optional<QString> open(QWidget*, const QString&) override { return path_; }
    std::optional<QString> save(QWidget*, const QString&, ReplaceQuestion) override {
        return std::nullopt;
    }

private:
    QString path_;
};

// A message means the run did not complete: the timing would be meaningless.
class FailingMessages : public MessageBox {
public:
    void show(QWidget*, const QString& text, const QString& detail) override {
        std::fprintf(stderr, "window-timing: %s %s\n", qPrintable(text), qPrintable(detail));
        std::exit(1);
    }
    bool ask(QWidget*, const QString&) override { return false; }
};

void waitUntilExposed(QWidget& window) {
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3 || std::atoi(argv[2]) < 1) {
        std::fprintf(stderr, "usage: window-timing STARLIST RUNS\n");
        return 2;
    }
    applyWindowLook();
    ChosenList dialogs(QString::fromLocal8Bit(argv[1]));
    FailingMessages messages;
    ThreadBudget threads(ThreadBudget::cores());
    MainWindow form1(dialogs, messages, threads);
    form1.show();
    waitUntilExposed(form1);
    form1.chooseStarList();
    auto* draw = form1.findChild<QPushButton*>(QStringLiteral("Command1"));
    if (draw == nullptr) {
        std::fprintf(stderr, "window-timing: no \"描画\" button (Command1)\n");
        return 1;
    }
    std::vector<double> milliseconds;
    for (int run = 0; run < std::atoi(argv[2]); ++run) {
        QElapsedTimer clock;
        QEventLoop ended;
        QObject::connect(&form1, &MainWindow::runFinished, &ended, &QEventLoop::quit);
        clock.start();
        draw->click();
        if (form1.running()) ended.exec();  // the run, on a thread of its own
        QCoreApplication::processEvents();  // the repaint of the plot
        milliseconds.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("%.0f\n", median(milliseconds));
    return 0;
}
