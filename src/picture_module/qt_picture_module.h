#pragma once

#include "photo/linked_pictures.h"
#include "picture_module/qt_image_writer.h"
#include "plotter/picture_module.h"

// The plotter's pictures and image files with the libraries linked in, as the two modules give
// them to the program.
class QtPictureModule : public PictureModule {
public:
    bool isPicture(const std::string& path) override;
    std::unique_ptr<StarSource> open(const std::string& path, Format format,
                                     const DetectionSettings& settings, DetectionCache* cache,
                                     RunMonitor* monitor, Fault& fault) override;
    std::optional<PictureSize> size(const std::string& path, Format format) override;
    bool writeImage(const RasterSurface& plot, const std::string& path,
                    const std::function<void(std::string_view)>& write, Fault& fault) override;
    std::string decimalSeparator() override;
    // Linked in, Qt is there already.
    void prepare(bool, bool) override {}

private:
    LinkedPictures pictures_;
    QtImageWriter images_;
};
