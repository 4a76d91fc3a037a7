#include "platform/image_file.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

namespace {

RasterSurface plotOf(int width, int height) {
    RasterSurface raster(width, height);
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            raster.setPixel(static_cast<float>(i), static_cast<float>(j), (i * 7 + j * 13) % 256);
        }
    }
    return raster;
}

// What Qt's own bitmap writer makes of the plot, from a copy whose row padding is zero.
QByteArray qtBitmap(const RasterSurface& raster) {
    QImage padded(raster.width(), raster.height(), QImage::Format_Indexed8);
    std::memset(padded.bits(), 0, static_cast<std::size_t>(padded.sizeInBytes()));
    for (int j = 0; j < raster.height(); ++j) {
        std::memcpy(padded.scanLine(j), raster.pixels() + j * raster.stride(),
                    static_cast<std::size_t>(raster.width()));
    }
    padded.setColorTable(ImageFile::view(raster).colorTable());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(padded.save(&buffer, "BMP"));
    return bytes;
}

QByteArray saved(const RasterSurface& raster, const QString& path) {
    EXPECT_EQ(ImageFile::save(raster, path), QString());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(ImageFile, BitmapHasQtsBytesWithZeroPaddingForEveryWidth) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const int width : {1, 2, 3, 4, 5, 7, 8, 1001, 3902}) {
        const RasterSurface raster = plotOf(width, width > 1000 ? 300 : 5);
        const QByteArray bytes = saved(raster, folder.filePath(QStringLiteral("plot.bmp")));
        ASSERT_EQ(bytes, qtBitmap(raster)) << "width " << width;
        const QImage loaded = QImage::fromData(bytes, "BMP");
        ASSERT_EQ(loaded.size(), QSize(width, raster.height()));
        EXPECT_EQ(qGray(loaded.pixel(width - 1, raster.height() - 1)),
                  raster.at(width - 1, raster.height() - 1));
    }
}

TEST(ImageFile, PngOfAnOddWidthKeepsEveryPixel) {
    QTemporaryDir folder;
    const RasterSurface raster = plotOf(1001, 4);
    const QImage loaded = QImage::fromData(saved(raster, folder.filePath("plot.png")), "PNG");
    ASSERT_EQ(loaded.size(), QSize(1001, 4));
    for (int i = 0; i < 1001; i += 50) EXPECT_EQ(qGray(loaded.pixel(i, 3)), raster.at(i, 3));
}

}  // namespace

// The clipboard's copy lives in memory of its own: every pixel as the plot had it, and nothing
// the plot draws afterwards, for a plot large enough to take huge pages as well.
TEST(ImageFile, CopyKeepsThePlotAsItWas) {
    for (const int width : {3, 1201}) {
        RasterSurface raster = plotOf(width, width > 1000 ? 2000 : 4);
        QImage copy = ImageFile::copy(raster);
        raster.clear();
        ASSERT_EQ(copy.size(), QSize(width, raster.height()));
        const RasterSurface original = plotOf(width, raster.height());
        for (int j = 0; j < raster.height(); j += 7) {
            for (int i = 0; i < width; i += 3) {
                ASSERT_EQ(qGray(copy.pixel(i, j)), original.at(i, j)) << i << "," << j;
            }
        }
        const QImage shared = copy;  // outlives the first handle on the memory
        copy = QImage();
        EXPECT_EQ(qGray(shared.pixel(width - 1, 0)), original.at(width - 1, 0));
    }
}
