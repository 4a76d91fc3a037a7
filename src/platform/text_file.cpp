#include "platform/text_file.h"

#include <QFile>
#include <QSaveFile>
#include <array>
#include <new>

#include "platform/device_file.h"
#include "platform/file_reason.h"
#include "platform/qt_text.h"

namespace {

QString cannotCreate(const QFileDevice& file) {
    return QStringLiteral("ファイル「%1」を作れません（%2）。")
        .arg(shownName(file.fileName()), fileReason(file));
}

QString cannotSave(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル「%1」を保存できません（%2）。").arg(shownName(path), reason);
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
    if (!file.open(QIODevice::WriteOnly)) return cannotCreate(file);
    if (!writeAll(file, content) || !file.flush()) return cannotSave(path, fileReason(file));
    return {};
}

// Reads to the end, in pieces, so that a pipe or a device is read as a file is.
QString readAll(QFile& file, std::string& content, qint64 maxBytes) {
    std::array<char, 1 << 16> piece{};
    for (;;) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0) {
            return QStringLiteral("ファイル「%1」を読めません（%2）。")
                .arg(shownName(file.fileName()), fileReason(file));
        }
        if (got == 0) return {};
        if (static_cast<qint64>(content.size()) + got > maxBytes) {
            return QStringLiteral("ファイル「%1」は大きすぎます（%2 バイトまで）。")
                .arg(shownName(file.fileName()))
                .arg(maxBytes);
        }
        content.append(piece.data(), static_cast<std::size_t>(got));
    }
}

}  // namespace

QString TextFile::write(const QString& path, const std::string& content) {
    if (isDevice(path)) return writeInPlace(path, content);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return cannotCreate(file);
    if (!writeAll(file, content) || !file.commit()) {
        const QString reason = fileReason(file);
        file.cancelWriting();
        return cannotSave(path, reason);
    }
    return {};
}

QString TextFile::read(const QString& path, std::string& content, qint64 maxBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("ファイル「%1」を開けません（%2）。")
            .arg(shownName(path), fileReason(file));
    }
    try {
        std::string whole;
        QString fault = readAll(file, whole, maxBytes);
        if (fault.isEmpty()) content = std::move(whole);
        return fault;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("ファイル「%1」を読むメモリが足りません。").arg(shownName(path));
    }
}
