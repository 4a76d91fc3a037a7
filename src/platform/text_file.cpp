#include "platform/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A device or a pipe (/dev/null, a FIFO) is written in place: the safe replace meant for regular
// files would put a new file where the device was.
bool isDevice(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

// Writes on after a short write, so that a full disk shows as an error with its reason.
bool writeAll(QFileDevice& file, const std::string& content) {
    const auto size = static_cast<qint64>(content.size());
    for (qint64 done = 0; done < size;) {
        const qint64 written = file.write(content.data() + done, size - done);
        if (written <= 0) return false;
        done += written;
    }
    return true;
}

QString writeInPlace(const QString& path, const std::string& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("ファイル「%1」を作れません（%2）。").arg(path, file.errorString());
    }
    if (!writeAll(file, content) || !file.flush()) {
        return QStringLiteral("ファイル「%1」を保存できません（%2）。")
            .arg(path, file.errorString());
    }
    return {};
}

}  // namespace

QString TextFile::write(const QString& path, const std::string& content) {
    if (isDevice(path)) return writeInPlace(path, content);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("ファイル「%1」を作れません（%2）。").arg(path, file.errorString());
    }
    if (!writeAll(file, content) || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QStringLiteral("ファイル「%1」を保存できません（%2）。").arg(path, reason);
    }
    return {};
}

QString TextFile::read(const QString& path, std::string& content, qint64 maxBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("ファイル「%1」を開けません（%2）。").arg(path, file.errorString());
    }
    const QByteArray bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        return QStringLiteral("ファイル「%1」を読めません（%2）。").arg(path, file.errorString());
    }
    content.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return {};
}
