#pragma once

#include <string>

#include "plotter/module_loader.h"
#include "plotter/picture_module.h"

// The plotter's two modules, each loaded the first time it is needed: photographs (Qt's image
// readers, CFITSIO, SEP) and image files with the locale (QtGui). Without them star lists and
// catalogs still work; whatever needs one fails with a message naming it and the reason.
class LoadedPictureModule : public PictureModule {
public:
    LoadedPictureModule();

    bool isPicture(const std::string& path) override;
    bool isRaw(const std::string& path) override;
    std::unique_ptr<StarSource> open(const std::string& path, Format format,
                                     const DetectionSettings& settings, DetectionCache* cache,
                                     RunMonitor* monitor, Fault& fault) override;
    std::optional<PictureSize> size(const std::string& path, Format format) override;
    bool writeImage(const RasterSurface& plot, const std::string& path,
                    const std::function<void(std::string_view)>& write, Fault& fault) override;
    std::string decimalSeparator() override;
    void prepare(bool images, bool photos) override;

protected:
    // The modules' instances, loaded on first use; nullptr when a module cannot be loaded.
    virtual PictureSupport* photos();
    virtual ImageModule* images();

private:
    ModuleLoader photos_;
    ModuleLoader images_;
};
