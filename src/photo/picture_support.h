#pragma once

#include <memory>
#include <optional>
#include <string>

#include "photo/detection_cache.h"
#include "photo/detection_settings.h"
#include "photo/grey_image.h"
#include "plot/run_monitor.h"
#include "plot/star_source.h"
#include "text/fault.h"

// What telling and reading photographs takes beyond the engine: Qt's image readers, CFITSIO,
// LibRaw and SEP. Behind this a program can load those libraries only when a file is a photograph.
class PictureSupport {
public:
    enum class Format { Fits, Picture, Raw };

    virtual ~PictureSupport() = default;

    // Whether Qt reads the file as a PNG, JPEG, TIFF, BMP, GIF or WebP picture.
    virtual bool isPicture(const std::string& path) = 0;
    // Whether LibRaw reads the file as a camera's raw file.
    virtual bool isRaw(const std::string& path) = 0;
    // The photograph's stars as a source; nullptr with the fault set when it cannot be read,
    // with an empty fault when the monitor cancelled.
    virtual std::unique_ptr<StarSource> open(const std::string& path, Format format,
                                             const DetectionSettings& settings,
                                             DetectionCache* cache, RunMonitor* monitor,
                                             Fault& fault) = 0;
    virtual std::optional<PictureSize> size(const std::string& path, Format format) = 0;
};
