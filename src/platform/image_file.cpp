#include "platform/image_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// A device or a pipe (/dev/null, a FIFO) is written in place: the safe replace meant for regular
// files would put a new file where the device was.
bool isDevice(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

bool writeImage(const QImage& image, bool png, QIODevice& device) {
    return image.save(&device, png ? "PNG" : "BMP");
}

QString saveInPlace(const QImage& image, const QString& path, bool png) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("画像ファイル「%1」を作れません（%2）。")
            .arg(path, file.errorString());
    }
    if (!writeImage(image, png, file) || !file.flush()) {
        return QStringLiteral("画像ファイル「%1」を書けません（%2）。")
            .arg(path, file.errorString());
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
    return view(raster).copy();
}

QString ImageFile::save(const RasterSurface& raster, const QString& path) {
    const bool png =
        QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0;
    const QImage image = view(raster);
    if (isDevice(path)) return saveInPlace(image, path, png);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("画像ファイル「%1」を作れません（%2）。")
            .arg(path, file.errorString());
    }
    if (!writeImage(image, png, file)) {
        // The image writers stop at the short write a full disk gives, and the file then knows
        // no reason. Cancelling replaces the reason, so it is taken first.
        const bool known = file.error() != QFileDevice::NoError &&
                           file.errorString() != QLatin1String("Unknown error");
        const QString reason =
            known ? file.errorString() : QStringLiteral("ディスクの空きが足りないかもしれません");
        file.cancelWriting();
        return QStringLiteral("画像ファイル「%1」を書けません（%2）。").arg(path, reason);
    }
    if (!file.commit()) {
        return QStringLiteral("画像ファイル「%1」を保存できません（%2）。")
            .arg(path, file.errorString());
    }
    return {};
}
