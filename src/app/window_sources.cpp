#include "app/window_sources.h"

#include "platform/qt_text.h"

#ifdef QUENDRA_PHOTOS

#include "sources/photo/detection_cache.h"
#include "sources/photo/linked_pictures.h"
#include "sources/star_sources.h"

struct WindowSources::Kept {
    LinkedPictures pictures;
    DetectionCache detected;
};

WindowSources::WindowSources()
    : kept_(std::make_unique<Kept>()),
      opener_(StarSources::opener(kept_->pictures, {}, &kept_->detected)) {}

std::optional<QSize> WindowSources::pictureSize(const QString& path) {
    LinkedPictures pictures;
    const std::optional<PictureSize> size = StarSources::pictureSize(nativeName(path), pictures);
    if (!size) return std::nullopt;
    return QSize(size->width, size->height);
}

#else

#include "sources/lists/star_list.h"

struct WindowSources::Kept {};

WindowSources::WindowSources() : opener_(StarList::openSource) {}

std::optional<QSize> WindowSources::pictureSize(const QString&) {
    return std::nullopt;
}

#endif

WindowSources::~WindowSources() = default;
