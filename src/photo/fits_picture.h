#pragma once

#include <optional>
#include <string>

#include "photo/grey_image.h"
#include "plot/frame_facts.h"
#include "plot/run_monitor.h"
#include "text/fault.h"

// FITS photographs, also tile-compressed (.fz) and gzip-compressed (.fits.gz), read with CFITSIO
// from the first HDU holding a 2-D image or a 3-D one of three colour planes. BZERO and BSCALE are
// applied, colour planes averaged ((R + G + B) / 3), blank pixels become NaN. Rows run upward
// unless ROWORDER = 'TOP-DOWN'. The saturation is SATURATE when given, else the largest value of
// an integer sample type less 0.5. Plain and tile-compressed files are read on two cores. How the
// frame was taken comes from the image's header: INSTRUME, EXPTIME (else EXPOSURE), ISOSPEED (else
// GAIN) and DATE-OBS.
class FitsPicture {
public:
    // Fault: the message names the file; Cancelled: the monitor said stop.
    static Outcome read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                        Fault& fault, FrameFacts* facts = nullptr);
    // The width and height of the image read would read, from its header alone.
    static std::optional<PictureSize> size(const std::string& path);
};
