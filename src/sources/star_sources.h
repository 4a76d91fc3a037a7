#pragma once

#include <optional>
#include <string>

#include "plot/star_source.h"
#include "sources/photo/detection_cache.h"
#include "sources/photo/detection_settings.h"
#include "sources/photo/grey_image.h"

// Every kind of file a run can take its stars from, told apart by content, never by name.
class StarSources {
public:
    enum class Kind { Fits, Catalog, Picture, StarList, Raw };

    // FITS ("SIMPLE  =" at byte 0, or a gzip stream holding one), a Source Extractor ASCII_HEAD
    // catalog (first line "#   1 NAME ..."), a camera's raw file (LibRaw reads it, or it starts
    // as only a raw format does), a picture Qt reads (PNG, JPEG, TIFF, BMP, GIF, WebP), else a
    // star list: also a file that cannot be read, so that it fails as a star list. LibRaw and
    // Qt's image readers are only asked about a file that starts as one of those formats does.
    static Kind kindOf(const std::string& path);

    // The opener a run uses for whatever file it is given. Photographs are detected with the
    // settings; with a cache (which must outlive the opener) their stars are kept between runs.
    static StarSourceOpener opener(const DetectionSettings& settings = {},
                                   DetectionCache* cache = nullptr);

    // A photograph's width and height from its header; nothing for anything else.
    static std::optional<PictureSize> pictureSize(const std::string& path);

    // The picture a catalog was measured on: a photograph of the same name beside it
    // ("field.cat" and "field.fits", ".fits.gz", ".fz", ".tif", ".png", ...). Empty when there
    // is none.
    static std::string companionPicture(const std::string& catalog);
    // The plot size a file brings with it: a photograph's own, a catalog's from its companion
    // picture; nothing for a star list.
    static std::optional<PictureSize> plotSize(const std::string& path);
};
