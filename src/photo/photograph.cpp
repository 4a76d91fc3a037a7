#include "photo/photograph.h"

#include <new>

#include "photo/fits_picture.h"
#include "photo/photo_messages.h"
#include "photo/qt_picture.h"
#include "photo/raw_picture.h"
#include "photo/star_detector.h"

namespace {

Outcome readPicture(const std::string& path, Photograph::Format format, GreyImage& picture,
                    RunMonitor* monitor, Fault& fault, FrameFacts* facts) {
    switch (format) {
        case Photograph::Format::Fits:
            return FitsPicture::read(path, picture, monitor, fault, facts);
        case Photograph::Format::Raw:
            return RawPicture::read(path, picture, monitor, fault, facts);
        case Photograph::Format::Picture:
            break;
    }
    return QtPicture::read(path, picture, monitor, fault);
}

}  // namespace

Outcome Photograph::detect(const std::string& path, Format format,
                           const DetectionSettings& settings, RunMonitor* monitor,
                           std::vector<StarRecord>& stars, Fault& fault, FrameFacts* facts) {
    if (const std::string problem = settings.problem(); !problem.empty()) {
        fault = {problem, {}};
        return Outcome::Fault;
    }
    GreyImage picture;
    try {
        const Outcome read = readPicture(path, format, picture, monitor, fault, facts);
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
        if (std::unique_ptr<DetectedStars> kept = cache->find(*key)) return kept;
    }
    auto stars = std::make_shared<std::vector<StarRecord>>();
    FrameFacts facts;
    switch (detect(path, format, settings, monitor, *stars, fault, &facts)) {
        case Outcome::Done:
            break;
        case Outcome::Cancelled:
            fault = {};
            return nullptr;
        case Outcome::Fault:
            return nullptr;
    }
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
