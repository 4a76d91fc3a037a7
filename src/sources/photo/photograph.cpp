#include "sources/photo/photograph.h"

#include <new>

#include "sources/photo/fits_picture.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/qt_picture.h"
#include "sources/photo/star_detector.h"

Result<std::vector<StarRecord>> Photograph::detect(const std::string& path, Format format,
                                                   const DetectionSettings& settings,
                                                   RunMonitor* monitor, ThreadBudget* threads) {
    if (const std::string problem = settings.problem(); !problem.empty()) {
        return Fault{problem, {}};
    }
    GreyImage picture;
    try {
        const Result<> read = format == Format::Fits
                                  ? FitsPicture::read(path, picture, monitor, threads)
                                  : QtPicture::read(path, picture, monitor);
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
        if (DetectedStars::Stars kept = cache->find(*key)) {
            return std::make_unique<DetectedStars>(std::move(kept));
        }
    }
    Result<std::vector<StarRecord>> detected = detect(path, format, settings, monitor, threads);
    if (!detected.done()) return detected;
    auto stars = std::make_shared<const std::vector<StarRecord>>(detected.take());
    if (key) cache->keep(*key, stars);
    return std::make_unique<DetectedStars>(std::move(stars));
}

std::optional<PictureSize> Photograph::size(const std::string& path, Format format) {
    return format == Format::Fits ? FitsPicture::size(path) : QtPicture::size(path);
}
