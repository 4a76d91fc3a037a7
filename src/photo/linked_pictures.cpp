#include "photo/linked_pictures.h"

#include "photo/photograph.h"
#include "photo/qt_picture.h"
#include "photo/raw_picture.h"

bool LinkedPictures::isPicture(const std::string& path) {
    return QtPicture::canRead(path);
}

bool LinkedPictures::isRaw(const std::string& path) {
    return RawPicture::canRead(path);
}

std::unique_ptr<StarSource> LinkedPictures::open(const std::string& path, Format format,
                                                 const DetectionSettings& settings,
                                                 DetectionCache* cache, RunMonitor* monitor,
                                                 Fault& fault) {
    return Photograph::open(path, format, settings, cache, monitor, fault);
}

std::optional<PictureSize> LinkedPictures::size(const std::string& path, Format format) {
    return Photograph::size(path, format);
}
