#include "platform/qt_text.h"

#include <QByteArray>
#include <QFile>

#include "text/messages.h"

QString qtText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string nativeName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString qtName(std::string_view native) {
    return QFile::decodeName(QByteArray(native.data(), static_cast<qsizetype>(native.size())));
}

QString shownName(const QString& path) {
    return qtText(Messages::shownName(nativeName(path)));
}
