#pragma once

#include <string>

#include "output/output_file.h"
#include "plot/star_observer.h"

// The drawn stars as a DS9 region file (version 4.1, image coordinates), for a look at them on
// the picture in SAOImage DS9 or any tool that reads such files: a circle per star (green single,
// red double by shape, orange double by occupancy) and, for a double, a line along its angle.
class RegionFile : public StarObserver {
public:
    // sensorHeight: H (縦). The plot's y grows downwards from 1 at the top; the picture's FITS
    // pixels count upwards, so y = (H + 1) − Y, as the photograph and catalog readings did.
    RegionFile(OutputFile& file, double sensorHeight);
    void onStar(const StarRecord& star, const Classification& classification) override;

private:
    void appendDoubleLine(const StarRecord& star, double y, const char* colour);

    OutputFile& file_;
    double sensorHeight_;
    std::string row_;
};
