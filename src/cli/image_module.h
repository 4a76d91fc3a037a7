#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "raster/raster_surface.h"
#include "text/fault.h"

// What quendra-plot takes from QtGui besides photographs: image files and the user's decimal
// separator. In a module of its own, loaded the first time a plot is saved or a sensor size needs
// the locale.
class ImageModule {
public:
    // The module's one exported function returns its instance under this name.
    static constexpr const char* kEntry = "quendraImageModule";

    virtual ~ImageModule() = default;

    // The plot as the image file `path` by Qt's writers, PNG for a name ending in ".png" (any
    // case), a Windows bitmap otherwise; its bytes are handed to `write` in order. False with the
    // fault set when it cannot be encoded.
    virtual bool writeImage(const RasterSurface& plot, const std::string& path,
                            const std::function<void(std::string_view)>& write, Fault& fault) = 0;
    // The user's decimal separator, with which the window reads the sensor size.
    virtual std::string decimalSeparator() = 0;
};
