#pragma once

#include <QSize>
#include <QString>
#include <memory>
#include <optional>

#include "plot/star_source.h"

class DetectionCache;

// Where the window's runs take their stars from: a star list, a Source Extractor catalog or a
// photograph, told apart by content. A photograph's stars are detected once and kept while the
// file and the detection settings stay the same, so that drawing it again with other limits
// does not detect again.
class WindowSources {
public:
    WindowSources();
    ~WindowSources();
    WindowSources(const WindowSources&) = delete;
    WindowSources& operator=(const WindowSources&) = delete;

    // What the window tells of a chosen file: its kind as the status line names it ("星のリスト",
    // "カタログ", "写真"), and the plot size it brings: a photograph's own, a catalog's from the
    // picture of its name beside it (named in the kind).
    struct FileFacts {
        QString kind;
        std::optional<QSize> size;
    };

    const StarSourceOpener& opener() const { return opener_; }
    static FileFacts factsOf(const QString& path);

private:
    std::unique_ptr<DetectionCache> detected_;  // outlives the opener, which uses it
    StarSourceOpener opener_;
};
