#include "photo/linked_pictures.h"

#include "photo/photograph.h"
#include "photo/qt_picture.h"

namespace {

Photograph::Format photographFormat(PictureSupport::Format format) {
    return format == PictureSupport::Format::Fits ? Photograph::Format::Fits
                                                  : Photograph::Format::Picture;
}

}  // namespace

bool LinkedPictures::isPicture(const std::string& path) {
    return QtPicture::canRead(path);
}

std::unique_ptr<StarSource> LinkedPictures::open(const std::string& path, Format format,
                                                 const DetectionSettings& settings,
                                                 DetectionCache* cache, RunMonitor* monitor,
                                                 Fault& fault) {
    return Photograph::open(path, photographFormat(format), settings, cache, monitor, fault);
}

std::optional<PictureSize> LinkedPictures::size(const std::string& path, Format format) {
    return Photograph::size(path, photographFormat(format));
}
