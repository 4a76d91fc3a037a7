#include "sources/star_sources.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "sources/lists/sextractor_catalog.h"
#include "sources/lists/star_list.h"
#include "sources/photo/photograph.h"
#include "sources/photo/qt_picture.h"
#include "sources/photo/raw_picture.h"
#include "sources/photo/raw_signature.h"

namespace {

constexpr std::string_view kFitsStart = "SIMPLE  =";

// The first bytes of the file, enough for its first line; empty when it cannot be read.
std::string start(const std::string& path) {
    std::array<char, 256> bytes{};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {};
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return {bytes.data(), got};
}

bool gzipHoldsFits(const std::string& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::array<char, kFitsStart.size()> bytes{};
    const int got = gzread(file, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(file);
    return got == static_cast<int>(bytes.size()) &&
           std::string_view(bytes.data(), bytes.size()) == kFitsStart;
}

// Every picture format Qt is asked about (PNG, JPEG, TIFF, BMP, GIF, WebP) starts with one of
// these; anything else is left to the star list without loading Qt's image readers.
bool mayBePicture(std::string_view head) {
    static constexpr std::array<std::string_view, 7> kStarts{"\x89PNG", "\xFF\xD8", "II",  "MM",
                                                             "BM",      "GIF8",     "RIFF"};
    return std::any_of(kStarts.begin(), kStarts.end(),
                       [&](std::string_view start) { return head.starts_with(start); });
}

// The endings a catalog's picture is looked for with, in this order, each also in capitals as
// the cameras' own programs write them.
constexpr std::array<std::string_view, 21> kPictureEndings{
    ".fits", ".fit",  ".fts", ".fits.gz", ".fit.gz", ".fz",  ".fits.fz",
    ".tif",  ".tiff", ".png", ".jpg",     ".jpeg",   ".dng", ".cr2",
    ".cr3",  ".nef",  ".arw", ".raf",     ".orf",    ".rw2", ".pef"};

std::string capitals(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

// A camera's raw file: by its own first bytes, or by LibRaw for a TIFF and the like. Asked before
// Qt, which would read a TIFF-based raw's preview as the picture.
bool isRaw(std::string_view head, const std::string& path) {
    switch (RawSignature::of(head)) {
        case RawSignature::Kind::Raw:
            return true;
        case RawSignature::Kind::Ask:
            return RawPicture::canRead(path);
        case RawSignature::Kind::None:
            break;
    }
    return false;
}

Photograph::Format formatOf(StarSources::Kind kind) {
    switch (kind) {
        case StarSources::Kind::Fits:
            return Photograph::Format::Fits;
        case StarSources::Kind::Raw:
            return Photograph::Format::Raw;
        default:
            return Photograph::Format::Picture;
    }
}

bool isPhotograph(StarSources::Kind kind) {
    return kind == StarSources::Kind::Fits || kind == StarSources::Kind::Picture ||
           kind == StarSources::Kind::Raw;
}

}  // namespace

StarSources::Kind StarSources::kindOf(const std::string& path) {
    const std::string head = start(path);
    if (head.empty()) return Kind::StarList;
    if (head.starts_with(kFitsStart)) return Kind::Fits;
    if (head.size() >= 2 && head[0] == '\x1F' && head[1] == '\x8B' && gzipHoldsFits(path)) {
        return Kind::Fits;
    }
    if (SextractorCatalog::looksLike(head)) return Kind::Catalog;
    if (isRaw(head, path)) return Kind::Raw;
    if (mayBePicture(head) && QtPicture::canRead(path)) return Kind::Picture;
    return Kind::StarList;
}

StarSourceOpener StarSources::opener(const DetectionSettings& settings, DetectionCache* cache) {
    return [settings, cache](const std::string& path,
                             const SourceContext& context) -> Result<std::unique_ptr<StarSource>> {
        switch (const Kind kind = kindOf(path)) {
            case Kind::Fits:
            case Kind::Picture:
            case Kind::Raw:
                return Photograph::open(path, formatOf(kind), settings, cache, context.monitor,
                                        context.threads);
            case Kind::Catalog:
                return SextractorCatalog::openSource(path, context);
            case Kind::StarList:
                break;
        }
        return StarList::openSource(path, context);
    };
}

std::optional<PictureSize> StarSources::pictureSize(const std::string& path) {
    const Kind kind = kindOf(path);
    if (!isPhotograph(kind)) return {};
    return Photograph::size(path, formatOf(kind));
}

std::string StarSources::companionPicture(const std::string& catalog) {
    const std::filesystem::path path(catalog);
    if (!path.has_stem()) return {};
    const std::filesystem::path stem = path.parent_path() / path.stem();
    for (const std::string_view ending : kPictureEndings) {
        for (const std::string& written : {std::string(ending), capitals(ending)}) {
            const std::string candidate = stem.string() + written;
            std::error_code error;
            if (candidate == catalog || !std::filesystem::is_regular_file(candidate, error)) {
                continue;
            }
            if (isPhotograph(kindOf(candidate))) return candidate;
        }
    }
    return {};
}

std::optional<PictureSize> StarSources::plotSize(const std::string& path) {
    const Kind kind = kindOf(path);
    if (isPhotograph(kind)) return Photograph::size(path, formatOf(kind));
    if (kind != Kind::Catalog) return {};
    const std::string picture = companionPicture(path);
    if (picture.empty()) return {};
    return pictureSize(picture);
}
