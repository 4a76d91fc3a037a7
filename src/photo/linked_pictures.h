#pragma once

#include "photo/picture_support.h"

// Photographs read by the libraries linked into the program itself.
class LinkedPictures : public PictureSupport {
public:
    bool isPicture(const std::string& path) override;
    bool isRaw(const std::string& path) override;
    std::unique_ptr<StarSource> open(const std::string& path, Format format,
                                     const DetectionSettings& settings, DetectionCache* cache,
                                     RunMonitor* monitor, Fault& fault) override;
    std::optional<PictureSize> size(const std::string& path, Format format) override;
};
