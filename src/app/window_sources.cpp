#include "app/window_sources.h"

#include "platform/qt_text.h"

#ifdef QUENDRA_PHOTOS

#include "photo/detection_cache.h"
#include "sources/star_sources.h"

struct WindowSources::Kept {
    DetectionCache detected;
};

WindowSources::WindowSources()
    : kept_(std::make_unique<Kept>()), opener_(StarSources::opener({}, &kept_->detected)) {}

std::optional<QSize> WindowSources::pictureSize(const QString& path) {
    const std::optional<PictureSize> size = StarSources::pictureSize(nativeName(path));
    if (!size) return std::nullopt;
    return QSize(size->width, size->height);
}

#else

#include "plot/star_list.h"

struct WindowSources::Kept {};

WindowSources::WindowSources() : opener_(StarList::openSource) {}

std::optional<QSize> WindowSources::pictureSize(const QString&) {
    return std::nullopt;
}

#endif

WindowSources::~WindowSources() = default;
