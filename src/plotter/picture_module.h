#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "photo/picture_support.h"
#include "raster/raster_surface.h"

// Everything quendra-plot takes from Qt, CFITSIO and SEP: photographs, PNG plots and the user's
// decimal separator. A run over star lists into bitmaps needs none of it, so the plotter loads
// these libraries only when something asks for them, instead of at every start.
class PictureModule : public PictureSupport {
public:
    // The module's one exported function returns its instance under this name.
    static constexpr const char* kEntry = "quendraPictureModule";

    // The plot as the PNG file `path`, its bytes handed to `write` in order; false with the
    // fault set when it cannot be encoded.
    virtual bool writePng(const RasterSurface& plot, const std::string& path,
                          const std::function<void(std::string_view)>& write, Fault& fault) = 0;
    // The user's decimal separator, with which the window reads the sensor size.
    virtual std::string decimalSeparator() = 0;
};
