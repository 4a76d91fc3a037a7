#include "platform/offscreen_gui.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {

QtMessageHandler& previousHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

void quietAboutPaths(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: "))) return;
    if (previousHandler() != nullptr) {
        previousHandler()(type, context, text);
        return;
    }
    const QString line = qFormatLogMessage(type, context, text) + QLatin1Char('\n');
    std::fputs(line.toLocal8Bit().constData(), stderr);
}

}  // namespace

bool OffscreenGui::ensure() {
    if (QCoreApplication::instance() != nullptr) {
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    }
    // Always the offscreen platform, whatever QT_QPA_PLATFORM names: pictures need no display,
    // and a platform that cannot start (no display to connect to, over ssh or from cron; a
    // plugin not installed) would end the program.
    static char name[] = "quendra-plot";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static int argc = 3;
    // Qt warns on standard error when the session has no runtime folder (XDG_RUNTIME_DIR), as
    // under cron or sudo; a program without windows has no use for one.
    const QtMessageHandler previous = qInstallMessageHandler(quietAboutPaths);
    previousHandler() = previous;
    // Kept to the end of the program (the fonts are needed as long as pictures are drawn), and
    // let go at its exit with the fonts it holds.
    static const std::unique_ptr<QGuiApplication> application =
        std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return application != nullptr;
}
