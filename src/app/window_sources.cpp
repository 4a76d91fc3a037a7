#include "app/window_sources.h"

#include "platform/qt_text.h"
#include "sources/photo/detection_cache.h"
#include "sources/star_sources.h"

WindowSources::WindowSources()
    : detected_(std::make_unique<DetectionCache>()),
      opener_(StarSources::opener({}, detected_.get())) {}

WindowSources::~WindowSources() = default;

std::optional<QSize> WindowSources::pictureSize(const QString& path) {
    const std::optional<PictureSize> size = StarSources::pictureSize(nativeName(path));
    if (!size) return std::nullopt;
    return QSize(size->width, size->height);
}
