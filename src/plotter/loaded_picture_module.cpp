#include "plotter/loaded_picture_module.h"

LoadedPictureModule::LoadedPictureModule()
    : photos_("quendra-photos.so", kPhotoEntry, "写真を読むための"),
      images_("quendra-images.so", kEntry, "画像ファイルを書くための") {}

PictureSupport* LoadedPictureModule::photos() {
    return static_cast<PictureSupport*>(photos_.instance());
}

ImageModule* LoadedPictureModule::images() {
    return static_cast<ImageModule*>(images_.instance());
}

bool LoadedPictureModule::isPicture(const std::string& path) {
    // Without the module a file that starts as a picture is taken for one, so that reading it
    // says what is missing instead of failing as a star list.
    PictureSupport* loaded = photos();
    return loaded == nullptr || loaded->isPicture(path);
}

bool LoadedPictureModule::isRaw(const std::string& path) {
    PictureSupport* loaded = photos();
    return loaded == nullptr || loaded->isRaw(path);
}

std::unique_ptr<StarSource> LoadedPictureModule::open(const std::string& path, Format format,
                                                      const DetectionSettings& settings,
                                                      DetectionCache* cache, RunMonitor* monitor,
                                                      Fault& fault) {
    PictureSupport* loaded = photos();
    if (loaded == nullptr) {
        fault = {photos_.problem(), {}};
        return nullptr;
    }
    return loaded->open(path, format, settings, cache, monitor, fault);
}

std::optional<PictureSize> LoadedPictureModule::size(const std::string& path, Format format) {
    PictureSupport* loaded = photos();
    if (loaded == nullptr) return std::nullopt;
    return loaded->size(path, format);
}

bool LoadedPictureModule::writeImage(const RasterSurface& plot, const std::string& path,
                                     const std::function<void(std::string_view)>& write,
                                     Fault& fault) {
    ImageModule* loaded = images();
    if (loaded == nullptr) {
        fault = {images_.problem(), {}};
        return false;
    }
    return loaded->writeImage(plot, path, write, fault);
}

std::string LoadedPictureModule::decimalSeparator() {
    ImageModule* loaded = images();
    return loaded == nullptr ? "." : loaded->decimalSeparator();
}

void LoadedPictureModule::prepare(bool images, bool photos) {
    if (images) this->images();
    if (photos) this->photos();
}
