#include "platform/text_file.h"

#include <QFile>
#include <QSaveFile>

QString TextFile::write(const QString& path, const std::string& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("ファイル「%1」を作れません（%2）。").arg(path, file.errorString());
    }
    const auto size = static_cast<qint64>(content.size());
    if (file.write(content.data(), size) != size || !file.commit()) {
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
