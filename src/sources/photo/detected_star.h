#pragma once

#include <optional>

#include "plot/star_record.h"
#include "sources/lists/extractor_measures.h"
#include "sources/photo/grey_image.h"
#include "sources/photo/object_neighbours.h"
#include "sources/photo/sep_objects.h"

// One object SEP found, as a star of the star list. The object is measured as Source Extractor
// measures it (ExtractorMeasures) and becomes a star the way a catalog's row does.
class DetectedStar {
public:
    // The star of object i of the catalog; nothing when it cannot be one. picture: the picture
    // less its background, rows upward as SEP scanned it.
    static std::optional<StarRecord> of(const sep_catalog& catalog, int i, const GreyImage& picture,
                                        const sep_bkg& background,
                                        const ObjectNeighbours& neighbours);

    // Object i's measures in Source Extractor's conventions; nothing when SEP gives no ellipse.
    static std::optional<ExtractorMeasures> measures(const sep_catalog& catalog, int i,
                                                     const GreyImage& picture,
                                                     const sep_bkg& background,
                                                     const ObjectNeighbours& neighbours);

    // The FWHM as Source Extractor's FWHM_IMAGE: ln p = c - beta d^2 fitted by least squares
    // with weights p^2 over the object's pixels p with thresh0 < p < the saturation (less the
    // background at the object, as the pixels are), thresh0 = max(peak / 5, threshold); beta at
    // least 1 / (13 a b); FWHM = 1.6651 / sqrt(beta) less 1 / (4 FWHM). 0 when nothing fits.
    static double fwhm(const sep_catalog& catalog, int i, const GreyImage& picture,
                       double saturation);
};
