#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plot/star_source.h"
#include "sources/photo/detection_cache.h"
#include "sources/photo/detection_settings.h"
#include "sources/photo/grey_image.h"
#include "system/thread_budget.h"

// A photograph as a run's stars: read, detected, measured; the picture itself is let go as soon
// as its stars are known.
class Photograph {
public:
    enum class Format { Fits, Picture, Raw };

    // Reads the picture and detects its stars under the monitor's eye, a second core taken from
    // the budget where it has one, or takes the stars the cache keeps for the file: the stars as
    // a source, or the fault why it cannot, or cancelled when the monitor said stop.
    static Result<std::unique_ptr<StarSource>> open(const std::string& path, Format format,
                                                    const DetectionSettings& settings,
                                                    DetectionCache* cache, RunMonitor* monitor,
                                                    ThreadBudget* threads = nullptr);

    // The stars of the picture, without the cache; with facts, how it was taken as well.
    static Result<std::vector<StarRecord>> detect(const std::string& path, Format format,
                                                  const DetectionSettings& settings,
                                                  RunMonitor* monitor,
                                                  ThreadBudget* threads = nullptr,
                                                  FrameFacts* facts = nullptr);

    static std::optional<PictureSize> size(const std::string& path, Format format);
};
