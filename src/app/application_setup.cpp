#include "app/application_setup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <csignal>

bool setUpApplication() {
    // Without this, a save past `ulimit -f` ends the program with SIGXFSZ; ignored, the write
    // fails with EFBIG and is reported, and the old file stays.
    std::signal(SIGXFSZ, SIG_IGN);
    auto* qtTexts = new QTranslator(QCoreApplication::instance());
    if (!qtTexts->load(QStringLiteral("qtbase_ja"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qtTexts;
        return false;
    }
    QCoreApplication::installTranslator(qtTexts);
    return true;
}
