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

void appendLittleEndian(QByteArray& bytes, quint32 value, int size) {
    for (int i = 0; i < size; ++i) bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// The file and info headers of an 8-bit bitmap and its grey palette, as Qt's bitmap writer
// makes them.
QByteArray bitmapHeader(const RasterSurface& raster, const QImage& view) {
    const quint32 rowBytes = (static_cast<quint32>(raster.width()) + 3) & ~quint32{3};
    const quint32 pixelBytes = rowBytes * static_cast<quint32>(raster.height());
    const quint32 offset = 14 + 40 + 4 * 256;
    QByteArray header("BM");
    appendLittleEndian(header, offset + pixelBytes, 4);
    appendLittleEndian(header, 0, 4);
    appendLittleEndian(header, offset, 4);
    appendLittleEndian(header, 40, 4);
    appendLittleEndian(header, static_cast<quint32>(raster.width()), 4);
    appendLittleEndian(header, static_cast<quint32>(raster.height()), 4);  // rows bottom-up
    appendLittleEndian(header, 1, 2);                                      // planes
    appendLittleEndian(header, 8, 2);                                      // bits per pixel
    appendLittleEndian(header, 0, 4);                                      // no compression
    appendLittleEndian(header, pixelBytes, 4);
    appendLittleEndian(header, static_cast<quint32>(view.dotsPerMeterX()), 4);
    appendLittleEndian(header, static_cast<quint32>(view.dotsPerMeterY()), 4);
    appendLittleEndian(header, 256, 4);  // colours used
    appendLittleEndian(header, 256, 4);  // colours important
    for (const QRgb colour : greyPalette()) {
        const char entry[4] = {static_cast<char>(qBlue(colour)), static_cast<char>(qGreen(colour)),
                               static_cast<char>(qRed(colour)), 0};
        header.append(entry, 4);
    }
    return header;
}

// The plot as an 8-bit Windows bitmap with the grey palette, the same bytes as Qt's bitmap
// writer gives (rows bottom-up, padded with zeros to whole 4 bytes), but written straight from
// the raster in large pieces: the plot is not copied. False when the device refuses a write.
bool writeBitmap(const RasterSurface& raster, QIODevice& device) {
    if (raster.width() <= 0 || raster.height() <= 0) return false;  // no image to write
    const auto width = static_cast<qsizetype>(raster.width());
    const qsizetype rowBytes = (width + 3) & ~qsizetype{3};
    QByteArray piece = bitmapHeader(raster, ImageFile::view(raster));
    constexpr qsizetype kPiece = 1 << 20;
    piece.reserve(kPiece + rowBytes);
    for (int j = raster.height() - 1; j >= 0; --j) {
        piece.append(reinterpret_cast<const char*>(raster.pixels()) + j * width, width);
        piece.append(rowBytes - width, '\0');
        if (piece.size() >= kPiece || j == 0) {
            if (device.write(piece) != piece.size()) return false;
            piece.clear();
        }
    }
    return true;
}

// The plot in the format asked for: PNG through Qt's writer from `image`, the bitmap directly.
bool writeImage(const RasterSurface& raster, const QImage& image, bool png, QIODevice& device) {
    return png ? image.save(&device, "PNG") : writeBitmap(raster, device);
}

QString saveInPlace(const RasterSurface& raster, const QImage& image, const QString& path,
                    bool png) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("画像ファイル「%1」を作れません（%2）。")
            .arg(path, file.errorString());
    }
    if (!writeImage(raster, image, png, file) || !file.flush()) {
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
    // Qt's PNG writer reads every row as a multiple of 4 bytes, past the end of the raster's
    // unpadded rows when the width is not one; such a plot is written from a padded copy.
    const QImage image = !png                      ? QImage()
                         : raster.width() % 4 == 0 ? view(raster)
                                                   : view(raster).copy();
    if (png && image.isNull() && raster.width() > 0 && raster.height() > 0) {
        return QStringLiteral("画像ファイル「%1」を書くメモリが足りません。").arg(path);
    }
    if (isDevice(path)) return saveInPlace(raster, image, path, png);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("画像ファイル「%1」を作れません（%2）。")
            .arg(path, file.errorString());
    }
    if (!writeImage(raster, image, png, file)) {
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
