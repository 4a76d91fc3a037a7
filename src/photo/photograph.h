#pragma once

#include <memory>
#include <string>
#include <vector>

#include "photo/detection_cache.h"
#include "photo/detection_settings.h"
#include "photo/grey_image.h"
#include "photo/picture_support.h"
#include "plot/star_source.h"

// A photograph as a run's stars: read, detected, measured; the picture itself is let go as soon
// as its stars are known.
class Photograph {
public:
    using Format = PictureSupport::Format;

    // Reads the picture and detects its stars under the monitor's eye, or takes the stars the
    // cache keeps for the file. nullptr with the fault set when it cannot; nullptr with an empty
    // fault when the monitor cancelled.
    static std::unique_ptr<StarSource> open(const std::string& path, Format format,
                                            const DetectionSettings& settings,
                                            DetectionCache* cache, RunMonitor* monitor,
                                            Fault& fault);

    // The stars of the picture, without the cache; with facts, how it was taken as well.
    static Outcome detect(const std::string& path, Format format, const DetectionSettings& settings,
                          RunMonitor* monitor, std::vector<StarRecord>& stars, Fault& fault,
                          FrameFacts* facts = nullptr);

    static std::optional<PictureSize> size(const std::string& path, Format format);
};
