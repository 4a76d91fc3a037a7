#pragma once

#include <optional>
#include <string>

#include "plot/frame_facts.h"
#include "plot/run_monitor.h"
#include "sources/photo/grey_image.h"
#include "system/thread_budget.h"
#include "text/result.h"

// FITS photographs, also tile-compressed (.fz) and gzip-compressed (.fits.gz), read with CFITSIO
// from the first HDU holding a 2-D image or a 3-D one of three colour planes. BZERO and BSCALE are
// applied, colour planes averaged ((R + G + B) / 3), blank pixels become NaN. Rows run upward
// unless ROWORDER = 'TOP-DOWN'. The saturation is SATURATE when given, else the largest value of
// an integer sample type less 0.5. Plain and tile-compressed files are read on two cores where
// the budget has a thread free. How the frame was taken comes from the image's header: INSTRUME,
// EXPTIME (else EXPOSURE), ISOSPEED (else GAIN) and DATE-OBS.
class FitsPicture {
public:
    // The picture into image; a fault's message names the file; cancelled when the monitor said
    // stop. facts: how the frame was taken, where the header says.
    static Result<> read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                         ThreadBudget* threads = nullptr, FrameFacts* facts = nullptr);
    // The width and height of the image read would read, from its header alone.
    static std::optional<PictureSize> size(const std::string& path);
};
