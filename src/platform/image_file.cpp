#include "platform/image_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <new>

#include "platform/device_file.h"
#include "platform/file_reason.h"
#include "platform/qt_text.h"
#include "system/pixel_memory.h"

namespace {

const QList<QRgb>& greyPalette() {
    static const QList<QRgb> palette = [] {
        QList<QRgb> colours;
        colours.reserve(256);
        for (int g = 0; g < 256; ++g) colours.append(qRgb(g, g, g));
        return colours;
    }();
    return palette;
}

bool writeImage(const QImage& image, bool png, QIODevice& device) {
    return image.save(&device, png ? "PNG" : "BMP");
}

QString outOfMemory(const QString& path) {
    return QStringLiteral("画像ファイル「%1」を書くメモリが足りません。").arg(shownName(path));
}

QString cannotCreate(const QFileDevice& file) {
    return QStringLiteral("画像ファイル「%1」を作れません（%2）。")
        .arg(shownName(file.fileName()), fileReason(file));
}

QString cannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("画像ファイル「%1」を書けません（%2）。").arg(shownName(path), reason);
}

QString saveInPlace(const QImage& image, const QString& path, bool png) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return cannotCreate(file);
    if (!writeImage(image, png, file) || !file.flush()) return cannotWrite(path, fileReason(file));
    return {};
}

QString saveReplacing(const QImage& image, QSaveFile& file, bool png) {
    // Unbuffered, a failed write keeps the system's reason (a full disk, the size limit).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return cannotCreate(file);
    if (!writeImage(image, png, file)) {
        // The image writers stop at the short write a full disk gives, and the file then knows
        // no reason. Cancelling replaces the reason, so it is taken first.
        const bool known =
            file.error() != QFileDevice::NoError &&
            file.errorString() != QLatin1String("Unknown error") &&
            file.errorString() != QCoreApplication::translate("QIODevice", "Unknown error");
        const QString reason =
            known ? fileReason(file) : QStringLiteral("ディスクの空きが足りないかもしれません");
        file.cancelWriting();
        return cannotWrite(file.fileName(), reason);
    }
    if (!file.commit()) {
        return QStringLiteral("画像ファイル「%1」を保存できません（%2）。")
            .arg(shownName(file.fileName()), fileReason(file));
    }
    return {};
}

}  // namespace

QImage ImageFile::view(const RasterSurface& raster) {
    QImage image(raster.pixels(), raster.width(), raster.height(), raster.stride(),
                 QImage::Format_Indexed8);
    image.setColorTable(greyPalette());
    return image;
}

QImage ImageFile::copy(const RasterSurface& raster) {
    // In the plot's own kind of memory: a fresh 10 MB image faulted in 4 KiB at a time would
    // cost the click a third as much again as the run.
    PixelMemory memory;
    const auto bytes =
        static_cast<std::size_t>(raster.stride()) * static_cast<std::size_t>(raster.height());
    if (bytes == 0 || !memory.allocate(bytes)) return {};
    std::memcpy(memory.data(), raster.pixels(), bytes);
    QImage image(
        memory.data(), raster.width(), raster.height(), raster.stride(), QImage::Format_Indexed8,
        [](void* pixels) { PixelMemory::free(pixels); }, memory.data());
    memory.release();
    image.setColorTable(greyPalette());
    return image;
}

QString ImageFile::save(const RasterSurface& raster, const QString& path) {
    return save(view(raster), path);
}

QString ImageFile::save(const QImage& image, const QString& path) {
    const bool png =
        QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0;
    if (isDevice(path)) {
        try {
            return saveInPlace(image, path, png);
        } catch (const std::bad_alloc&) {
            return outOfMemory(path);
        }
    }
    QSaveFile file(path);
    try {
        return saveReplacing(image, file, png);
    } catch (const std::bad_alloc&) {
        // The writers' line buffers: nothing half-written is put in place.
        file.cancelWriting();
        return outOfMemory(path);
    }
}
