#include <QApplication>
#include <QIcon>
#include <cstdio>

#include "app/application_setup.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "app/version.h"
#include "app/window_look.h"
#include "platform/qt_file_dialog_driver.h"
#include "platform/qt_message_box.h"
#include "system/process_tuning.h"
#include "system/thread_budget.h"

int main(int argc, char** argv) {
    tuneProcess();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendra"));
    QApplication::setApplicationVersion(QLatin1String(kQuendraVersion));
    QApplication::setDesktopFileName(QStringLiteral("org.quendra.quendra"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quendra.png")));
    if (!setUpApplication()) {
        std::fputs("quendra: Qt の日本語の翻訳 (qtbase_ja.qm) が見つかりません。\n", stderr);
    }
    applyWindowLook();

    QtFileDialogDriver dialogs;
    QtMessageBox messages;
    // Every thread the windows' work starts comes from here: one per core for the frames of the
    // frame list, and one more so that "描画" (or a frame shown) finds a thread while they run.
    // The window's own thread only draws on the screen meanwhile.
    ThreadBudget threads(ThreadBudget::cores() + 1);
    // What the windows remember between sessions.
    SettingsStore store(SettingsStore::userPath());
    MainWindow form1(dialogs, messages, threads, &store);
    // "終了" and the close box end the program at once: no window is asked again.
    QObject::connect(&form1, &MainWindow::quitRequested, &application,
                     [] { QCoreApplication::exit(0); });
    form1.show();
    return QApplication::exec();
}
