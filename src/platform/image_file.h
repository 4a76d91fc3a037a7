#pragma once

#include <QImage>
#include <QString>

#include "raster/raster_surface.h"

// Writes the plot as an image file, replacing an existing file only once the new one is whole.
class ImageFile {
public:
    // The plot as an 8-bit image with a grey palette; it shares the raster's pixels, so it is
    // valid only while the raster is unchanged.
    static QImage view(const RasterSurface& raster);
    // A copy that outlives the raster, for the clipboard; a null image when memory is short.
    static QImage copy(const RasterSurface& raster);
    // The format follows the extension: "png" writes PNG, anything else a Windows bitmap.
    // Returns an empty text on success, otherwise the message to show (Japanese, with the name).
    static QString save(const RasterSurface& raster, const QString& path);
    // Any picture, the same way (the star-shape map).
    static QString save(const QImage& image, const QString& path);
};
