#include "sources/star_sources.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "sources/lists/input_file.h"
#include "sources/lists/sextractor_catalog.h"
#include "sources/lists/star_list.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/photograph.h"
#include "sources/photo/picture_signature.h"
#include "sources/photo/qt_picture.h"
#include "sources/photo/raw_picture.h"
#include "sources/photo/raw_signature.h"
#include "sources/photo/tiff_picture.h"

namespace {

constexpr std::string_view kFitsStart = "SIMPLE  =";

// Whether a gzip stream starts with a FITS header: its first bytes inflated from the head.
bool gzipHoldsFits(std::string_view head) {
    if (head.size() < 2 || head[0] != '\x1F' || head[1] != '\x8B') return false;
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK) return false;
    std::array<char, kFitsStart.size()> bytes{};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(head.data()));
    stream.avail_in = static_cast<uInt>(head.size());
    stream.next_out = reinterpret_cast<Bytef*>(bytes.data());
    stream.avail_out = static_cast<uInt>(bytes.size());
    inflate(&stream, Z_SYNC_FLUSH);
    const bool whole = stream.avail_out == 0;
    inflateEnd(&stream);
    return whole && std::string_view(bytes.data(), bytes.size()) == kFitsStart;
}

// A picture Qt or libtiff reads, by its whole signature first. A file that can be opened again
// is asked about by name; a pipe's head is all there is to ask about.
bool isPicture(const InputFile& input) {
    const std::string_view head = input.head();
    const PictureSignature::Format format = PictureSignature::of(head);
    if (format == PictureSignature::Format::None) return false;
    if (!input.isRegular()) {
        const std::string bytes(head);
        return format == PictureSignature::Format::Tiff || QtPicture::canRead(input.path(), &bytes);
    }
    return QtPicture::canRead(input.path()) || TiffPicture::takes(input.path());
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
bool isRaw(const InputFile& input) {
    switch (RawSignature::of(input.head())) {
        case RawSignature::Kind::Raw:
            return true;
        case RawSignature::Kind::Ask:
            return input.isRegular() && RawPicture::canRead(input.path());
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

// A photograph from a pipe, which cannot be read again by its name: all its bytes in memory,
// as many as the machine holds beside the picture they make.
Result<> wholePipe(InputFile& input, std::string& bytes) {
    const double physical = static_cast<double>(::sysconf(_SC_PHYS_PAGES)) *
                            static_cast<double>(::sysconf(_SC_PAGESIZE));
    const auto most = static_cast<std::size_t>(std::max(physical / 4, 0.0));
    const int error = input.readWhole(bytes, most);
    if (error == EFBIG) return Fault{PhotoMessages::pipeTooLarge(input.path()), {}};
    if (error != 0) return Fault{PhotoMessages::cannotOpen(input.path(), error), {}};
    return {};
}

// A size no picture is read at is none to plot at: the reading then says what is wrong with
// the picture, naming it.
std::optional<PictureSize> accepted(std::optional<PictureSize> size) {
    const auto fits = [](int side) { return side >= 1 && side <= GreyImage::kLargestSide; };
    if (size && fits(size->width) && fits(size->height)) return size;
    return {};
}

}  // namespace

StarSources::Kind StarSources::kindOf(const std::string& path) {
    InputFile input;
    input.open(path);
    return kindOf(input);
}

StarSources::Kind StarSources::kindOf(const InputFile& input) {
    const std::string_view head = input.head();
    if (head.empty()) return Kind::StarList;
    if (head.starts_with(kFitsStart) || gzipHoldsFits(head)) return Kind::Fits;
    if (SextractorCatalog::looksLike(head)) return Kind::Catalog;
    if (isRaw(input)) return Kind::Raw;
    if (isPicture(input)) return Kind::Picture;
    return Kind::StarList;
}

StarSourceOpener StarSources::opener(const DetectionSettings& settings, DetectionCache* cache) {
    return [settings, cache](const std::string& path,
                             const SourceContext& context) -> Result<std::unique_ptr<StarSource>> {
        // Opened once: a pipe gives its bytes only once, and its head tells what it is.
        InputFile input;
        input.open(path);
        switch (const Kind kind = kindOf(input)) {
            case Kind::Fits:
            case Kind::Picture:
            case Kind::Raw: {
                if (input.isRegular()) {
                    return Photograph::open(path, formatOf(kind), settings, cache, context.monitor,
                                            context.threads);
                }
                std::string bytes;
                if (Result<> read = wholePipe(input, bytes); !read.done()) return read;
                return Photograph::open(path, formatOf(kind), settings, nullptr, context.monitor,
                                        context.threads, &bytes);
            }
            case Kind::Catalog:
                return SextractorCatalog::openFrom(std::move(input), context);
            case Kind::StarList:
                break;
        }
        return StarList::openFrom(std::move(input));
    };
}

std::optional<PictureSize> StarSources::pictureSize(const std::string& path) {
    const Kind kind = kindOf(path);
    if (!isPhotograph(kind)) return {};
    return accepted(Photograph::size(path, formatOf(kind)));
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
    // A pipe's bytes are read once, by the run: its size is not asked for ahead of it.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return {};
    const Kind kind = kindOf(path);
    if (isPhotograph(kind)) return accepted(Photograph::size(path, formatOf(kind)));
    if (kind != Kind::Catalog) return {};
    const std::string picture = companionPicture(path);
    if (picture.empty()) return {};
    return pictureSize(picture);
}
