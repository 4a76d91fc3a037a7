#pragma once

#include <optional>

#include "sources/photo/grey_image.h"
#include "sources/photo/sep_objects.h"
#include "plot/star_record.h"

// One object SEP found, as a star of the star list: the picture seen the right way up (top row
// first), pixel centres at whole numbers counted from 1.
class DetectedStar {
public:
    // The star of object i of the catalog; nothing when it cannot be one (no FWHM, a flat
    // axis, a value that is not finite). picture: the picture less its background.
    static std::optional<StarRecord> of(const sep_catalog& catalog, int i, const GreyImage& picture,
                                        const sep_bkg& background);

    // The FWHM as Source Extractor's FWHM_IMAGE: ln p = c - beta d^2 fitted by least squares
    // with weights p^2 over the object's pixels p with thresh0 < p < the saturation (less the
    // background at the object, as the pixels are), thresh0 = max(peak / 5, threshold); beta at
    // least 1 / (13 a b); FWHM = 1.6651 / sqrt(beta) less 1 / (4 FWHM). 0 when nothing fits.
    static double fwhm(const sep_catalog& catalog, int i, const GreyImage& picture,
                       double saturation);

    // SEP's theta (radians from +x towards the array's +y) as the star's angle: degrees
    // counter-clockwise from +x with the picture's up as +y, in [0, 180).
    static float angle(double theta, bool rowsUp);
};
