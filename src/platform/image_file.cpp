#include "platform/image_file.h"

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

}  // namespace

QImage ImageFile::view(const RasterSurface& raster) {
    QImage image(raster.pixels(), raster.width(), raster.height(), raster.width(),
                 QImage::Format_Indexed8);
    image.setColorTable(greyPalette());
    return image;
}

QImage ImageFile::copy(const RasterSurface& raster) { return view(raster).copy(); }

QString ImageFile::save(const RasterSurface& raster, const QString& path) {
    const bool png = QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("画像ファイル「%1」を作れません（%2）。").arg(path, file.errorString());
    }
    if (!view(raster).save(&file, png ? "PNG" : "BMP")) {
        file.cancelWriting();
        return QStringLiteral("画像ファイル「%1」を書けません（%2）。").arg(path, file.errorString());
    }
    if (!file.commit()) {
        return QStringLiteral("画像ファイル「%1」を保存できません（%2）。").arg(path, file.errorString());
    }
    return {};
}
