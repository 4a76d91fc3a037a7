#include "platform/file_reason.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QSaveFile>
#include <array>
#include <cerrno>

#include "platform/qt_text.h"
#include "text/messages.h"

namespace {

// The faults a file device reports by the system's error text; Qt keeps only that text, so the
// number is found again by comparing it with the text Qt makes of each number.
constexpr std::array kKnownErrors = {ENOENT,  EACCES, EPERM,        ENOSPC, EDQUOT, EISDIR,
                                     ENOTDIR, EROFS,  ENAMETOOLONG, EFBIG,  ENOMEM, EIO};

QString reasonOf(int errorNumber) {
    return qtText(Messages::fileReason(errorNumber));
}

// Texts Qt words itself, with or without its translation loaded.
bool saysItself(const QString& text, const char* context, const char* english) {
    return text == QLatin1String(english) || text == QCoreApplication::translate(context, english);
}

}  // namespace

QString fileReason(const QFileDevice& file) {
    QString text = file.errorString();
    for (const int errorNumber : kKnownErrors) {
        if (text == qt_error_string(errorNumber)) return reasonOf(errorNumber);
    }
    if (saysItself(text, "QIODevice", "file to open is a directory") ||
        saysItself(text, "QSaveFile", "Filename refers to a directory")) {
        return reasonOf(EISDIR);
    }
    const QString notWritable = QStringLiteral("Existing file %1 is not writable");
    if (text == notWritable.arg(file.fileName()) ||
        text == QCoreApplication::translate("QSaveFile", "Existing file %1 is not writable")
                    .arg(file.fileName())) {
        return reasonOf(EACCES);
    }
    return text;
}
