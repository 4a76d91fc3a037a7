#include "app/application_setup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool setUpApplication() {
    auto* qtTexts = new QTranslator(QCoreApplication::instance());
    if (!qtTexts->load(QStringLiteral("qtbase_ja"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qtTexts;
        return false;
    }
    QCoreApplication::installTranslator(qtTexts);
    return true;
}
