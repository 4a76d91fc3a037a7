#include "platform/image_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>

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

// Qt's image writers read every row as a whole number of 4-byte words, and copy that padding
// into a bitmap: a plot whose width is not a multiple of 4 is written from a copy whose rows are
// padded with zeros, so that nothing outside the plot is read and one plot gives one file.
QImage writableImage(const RasterSurface& raster) {
    if (raster.width() % 4 == 0) return ImageFile::view(raster);
    QImage padded(raster.width(), raster.height(), QImage::Format_Indexed8);
    if (padded.isNull()) return padded;
    padded.setColorTable(greyPalette());
    const auto width = static_cast<std::size_t>(raster.width());
    const auto rowBytes = static_cast<std::size_t>(padded.bytesPerLine());
    for (int j = 0; j < raster.height(); ++j) {
        uchar* row = padded.scanLine(j);
        std::memcpy(row, raster.pixels() + static_cast<std::size_t>(j) * width, width);
        std::memset(row + width, 0, rowBytes - width);
    }
    return padded;
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
    QImage image(raster.pixels(), raster.width(), raster.height(), raster.width(),
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
    const QImage image = writableImage(raster);
    if (image.isNull() && raster.width() > 0 && raster.height() > 0) {
        return QStringLiteral("画像ファイル「%1」を書くメモリが足りません。").arg(path);
    }
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
