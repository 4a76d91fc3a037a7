#include "sources/photo/photograph.h"

#include <new>

#include "sources/photo/fits_picture.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/qt_picture.h"
#include "sources/photo/raw_picture.h"
#include "sources/photo/star_detector.h"

namespace {

Result<> readPicture(const std::string& path, Photograph::Format format, GreyImage& picture,
                     RunMonitor* monitor, ThreadBudget* threads, FrameFacts* facts) {
    switch (format) {
        case Photograph::Format::Fits:
            return FitsPicture::read(path, picture, monitor, threads, facts);
        case Photograph::Format::Raw:
            return RawPicture::read(path, picture, monitor, threads, facts);
        case Photograph::Format::Picture:
            break;
    }
    return QtPicture::read(path, picture, monitor);
}

}  // namespace

Result<std::vector<StarRecord>> Photograph::detect(const std::string& path, Format format,
                                                   const DetectionSettings& settings,
                                                   RunMonitor* monitor, ThreadBudget* threads,
                                                   FrameFacts* facts) {
    if (const std::string problem = settings.problem(); !problem.empty()) {
        return Fault{problem, {}};
    }
    GreyImage picture;
    try {
        const Result<> read = readPicture(path, format, picture, monitor, threads, facts);
        if (!read.done()) return read;
        std::vector<StarRecord> stars;
        const Result<> found =
            StarDetector(settings, monitor, threads).detect(picture, path, stars);
        if (!found.done()) return found;
        return stars;
    } catch (const std::bad_alloc&) {
        return Fault{PhotoMessages::outOfMemory(path, picture.width, picture.height), {}};
    }
}

Result<std::unique_ptr<StarSource>> Photograph::open(const std::string& path, Format format,
                                                     const DetectionSettings& settings,
                                                     DetectionCache* cache, RunMonitor* monitor,
                                                     ThreadBudget* threads) {
    // The key is taken before reading: a file changed meanwhile is detected again next time.
    const std::optional<DetectionCache::Key> key =
        cache != nullptr ? DetectionCache::keyOf(path, settings) : std::nullopt;
    if (key) {
        if (std::unique_ptr<DetectedStars> kept = cache->find(*key)) return kept;
    }
    FrameFacts facts;
    Result<std::vector<StarRecord>> detected =
        detect(path, format, settings, monitor, threads, &facts);
    if (!detected.done()) return detected;
    auto stars = std::make_shared<const std::vector<StarRecord>>(detected.take());
    if (key) cache->keep(*key, stars, facts);
    return std::make_unique<DetectedStars>(std::move(stars), std::move(facts));
}

std::optional<PictureSize> Photograph::size(const std::string& path, Format format) {
    switch (format) {
        case Format::Fits:
            return FitsPicture::size(path);
        case Format::Raw:
            return RawPicture::size(path);
        case Format::Picture:
            break;
    }
    return QtPicture::size(path);
}
