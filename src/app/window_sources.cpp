#include "app/window_sources.h"

#include <QFileInfo>

#include "platform/qt_text.h"
#include "sources/photo/detection_cache.h"
#include "sources/star_sources.h"

WindowSources::WindowSources()
    : detected_(std::make_unique<DetectionCache>()),
      opener_(StarSources::opener({}, detected_.get())) {}

WindowSources::~WindowSources() = default;

WindowSources::FileFacts WindowSources::factsOf(const QString& path) {
    const std::string name = nativeName(path);
    std::optional<PictureSize> size;
    FileFacts facts;
    switch (StarSources::kindOf(name)) {
        case StarSources::Kind::Fits:
        case StarSources::Kind::Picture:
        case StarSources::Kind::Raw:
            facts.kind = QStringLiteral("写真");
            size = StarSources::pictureSize(name);
            break;
        case StarSources::Kind::Catalog: {
            facts.kind = QStringLiteral("カタログ");
            const std::string picture = StarSources::companionPicture(name);
            if (!picture.empty()) size = StarSources::pictureSize(picture);
            if (size) {
                facts.kind += QStringLiteral("（大きさは %1 から）")
                                  .arg(QFileInfo(qtName(picture)).fileName());
            }
            break;
        }
        case StarSources::Kind::StarList:
            facts.kind = QStringLiteral("星のリスト");
            break;
    }
    if (size) facts.size = QSize(size->width, size->height);
    return facts;
}
