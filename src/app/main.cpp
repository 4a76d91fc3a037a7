#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/main_window.h"
#include "app/window_look.h"
#include "platform/qt_file_dialog_driver.h"
#include "platform/qt_message_box.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendra"));
    QApplication::setApplicationVersion(QStringLiteral("1.51"));
    QApplication::setDesktopFileName(QStringLiteral("quendra"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quendra.png")));
    applyWindowLook();
    // Qt's own dialogs and buttons speak the user's language where Qt has a translation.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }

    QtFileDialogDriver dialogs;
    QtMessageBox messages;
    MainWindow form1(dialogs, messages);
    // "終了" and the close box end the program at once: no window is asked again.
    QObject::connect(&form1, &MainWindow::quitRequested, &application,
                     [] { QCoreApplication::exit(0); });
    form1.show();
    return QApplication::exec();
}
