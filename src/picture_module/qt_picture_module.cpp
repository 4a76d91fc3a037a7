#include "picture_module/qt_picture_module.h"

bool QtPictureModule::isPicture(const std::string& path) {
    return pictures_.isPicture(path);
}

std::unique_ptr<StarSource> QtPictureModule::open(const std::string& path, Format format,
                                                  const DetectionSettings& settings,
                                                  DetectionCache* cache, RunMonitor* monitor,
                                                  Fault& fault) {
    return pictures_.open(path, format, settings, cache, monitor, fault);
}

std::optional<PictureSize> QtPictureModule::size(const std::string& path, Format format) {
    return pictures_.size(path, format);
}

bool QtPictureModule::writeImage(const RasterSurface& plot, const std::string& path,
                                 const std::function<void(std::string_view)>& write, Fault& fault) {
    return images_.writeImage(plot, path, write, fault);
}

std::string QtPictureModule::decimalSeparator() {
    return images_.decimalSeparator();
}
