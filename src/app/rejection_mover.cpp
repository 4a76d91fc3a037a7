#include "app/rejection_mover.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "sources/input_folder.h"

namespace {

// The most numbered names tried before the move is given up.
constexpr int kMostNumbers = 10000;

// "frame_001.fits.gz" → "frame_001" and ".fits.gz": the number goes before every extension a
// frame's name ends in.
std::pair<QString, QString> stemAndEnding(const QString& name) {
    qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    for (const char* packed : {".gz", ".fz"}) {
        if (dot > 0 && name.mid(dot).compare(QLatin1String(packed), Qt::CaseInsensitive) == 0) {
            const qsizetype inner = name.lastIndexOf(QLatin1Char('.'), dot - 1);
            if (inner > 0) dot = inner;
        }
    }
    if (dot <= 0) return {name, {}};
    return {name.left(dot), name.mid(dot)};
}

// Moves the file at path into folder, named `name` there or numbered.
RejectionMover::Moved moveInto(const QString& path, const QString& folder, const QString& name) {
    if (!QFileInfo::exists(path)) {
        return {path, QStringLiteral("「%1」が見つかりません。").arg(QFileInfo(path).fileName())};
    }
    if (!QDir().mkpath(folder)) {
        return {path, QStringLiteral("フォルダ「%1」を作れません。").arg(folder)};
    }
    // QFile::rename never replaces a file: a name taken meanwhile only fails, and the next
    // number is tried.
    for (int attempt = 0; attempt < kMostNumbers; ++attempt) {
        const QString target = RejectionMover::freeName(folder, name);
        if (target.isEmpty()) break;
        QFile file(path);
        if (file.rename(target)) return {target, {}};
        if (!QFileInfo::exists(target)) {
            return {path, QStringLiteral("「%1」を移動できません（%2）。")
                              .arg(QFileInfo(path).fileName(), file.errorString())};
        }
    }
    return {path, QStringLiteral("「%1」の移動先の名前がありません。").arg(name)};
}

}  // namespace

QString RejectionMover::freeName(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (!QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
    const auto [stem, ending] = stemAndEnding(name);
    for (int number = 2; number < kMostNumbers; ++number) {
        QString numbered =
            dir.filePath(QStringLiteral("%1-%2%3").arg(stem).arg(number).arg(ending));
        if (!QFileInfo::exists(numbered)) return numbered;
    }
    return {};
}

RejectionMover::Moved RejectionMover::reject(const QString& path) {
    const QFileInfo file(path);
    return moveInto(path, file.dir().filePath(QLatin1String(InputFolder::kRejected)),
                    file.fileName());
}

RejectionMover::Moved RejectionMover::restore(const QString& path, const QString& original) {
    const QFileInfo first(original);
    if (!QFileInfo::exists(first.absolutePath())) {
        return {path, QStringLiteral("フォルダ「%1」がありません。").arg(first.absolutePath())};
    }
    return moveInto(path, first.absolutePath(), first.fileName());
}
