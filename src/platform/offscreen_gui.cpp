#include "platform/offscreen_gui.h"

#include <QGuiApplication>
#include <memory>

bool OffscreenGui::ensure() {
    if (QCoreApplication::instance() != nullptr) {
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    }
    // The platform the environment names is the user's choice; without one, no display.
    static QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty()) platform = QByteArrayLiteral("offscreen");
    static char name[] = "quendra-plot";
    static char option[] = "-platform";
    static char* argv[] = {name, option, platform.data(), nullptr};
    static int argc = 3;
    // Kept to the end of the program (the fonts are needed as long as pictures are drawn), and
    // let go at its exit with the fonts it holds.
    static const std::unique_ptr<QGuiApplication> application =
        std::make_unique<QGuiApplication>(argc, argv);
    return application != nullptr;
}
