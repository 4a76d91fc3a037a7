#pragma once

#include "cli/image_module.h"

// The plotter's image files and locale through QtGui, as the window writes and reads them.
class QtImageWriter : public ImageModule {
public:
    bool writeImage(const RasterSurface& plot, const std::string& path,
                    const std::function<void(std::string_view)>& write, Fault& fault) override;
    std::string decimalSeparator() override;
};
