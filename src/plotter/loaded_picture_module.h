#pragma once

#include <mutex>
#include <string>

#include "plotter/picture_module.h"

// The picture module, loaded on first use from beside the program or from the library folder it
// is installed with. Without it star lists, catalogs and bitmaps still work; whatever needs it
// fails with a message naming the module and the reason.
class LoadedPictureModule : public PictureModule {
public:
    bool isPicture(const std::string& path) override;
    std::unique_ptr<StarSource> open(const std::string& path, Format format,
                                     const DetectionSettings& settings, DetectionCache* cache,
                                     RunMonitor* monitor, Fault& fault) override;
    std::optional<PictureSize> size(const std::string& path, Format format) override;
    bool writePng(const RasterSurface& plot, const std::string& path,
                  const std::function<void(std::string_view)>& write, Fault& fault) override;
    std::string decimalSeparator() override;

    // Why the module could not be loaded; empty while it could.
    std::string problem();

private:
    PictureModule* module();

    std::once_flag loading_;
    PictureModule* module_ = nullptr;
    std::string problem_;
};
