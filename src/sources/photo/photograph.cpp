#include "sources/photo/photograph.h"

#include <new>

#include "sources/photo/fits_picture.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/qt_picture.h"
#include "sources/photo/star_detector.h"

Outcome Photograph::detect(const std::string& path, Format format,
                           const DetectionSettings& settings, RunMonitor* monitor,
                           std::vector<StarRecord>& stars, Fault& fault) {
    if (const std::string problem = settings.problem(); !problem.empty()) {
        fault = {problem, {}};
        return Outcome::Fault;
    }
    GreyImage picture;
    try {
        const Outcome read = format == Format::Fits
                                 ? FitsPicture::read(path, picture, monitor, fault)
                                 : QtPicture::read(path, picture, monitor, fault);
        if (read != Outcome::Done) return read;
        return StarDetector(settings, monitor).detect(picture, path, stars, fault);
    } catch (const std::bad_alloc&) {
        fault = {PhotoMessages::outOfMemory(path, picture.width, picture.height), {}};
        return Outcome::Fault;
    }
}

std::unique_ptr<StarSource> Photograph::open(const std::string& path, Format format,
                                             const DetectionSettings& settings,
                                             DetectionCache* cache, RunMonitor* monitor,
                                             Fault& fault) {
    // The key is taken before reading: a file changed meanwhile is detected again next time.
    const std::optional<DetectionCache::Key> key =
        cache != nullptr ? DetectionCache::keyOf(path, settings) : std::nullopt;
    if (key) {
        if (DetectedStars::Stars kept = cache->find(*key)) {
            return std::make_unique<DetectedStars>(std::move(kept));
        }
    }
    auto stars = std::make_shared<std::vector<StarRecord>>();
    switch (detect(path, format, settings, monitor, *stars, fault)) {
        case Outcome::Done:
            break;
        case Outcome::Cancelled:
            fault = {};
            return nullptr;
        case Outcome::Fault:
            return nullptr;
    }
    if (key) cache->keep(*key, stars);
    return std::make_unique<DetectedStars>(std::move(stars));
}

std::optional<PictureSize> Photograph::size(const std::string& path, Format format) {
    return format == Format::Fits ? FitsPicture::size(path) : QtPicture::size(path);
}
