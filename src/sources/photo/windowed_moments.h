#pragma once

#include "sources/photo/object_cutout.h"
#include "sources/photo/sep_objects.h"

// Source Extractor's windowed second moments of an object (X2WIN_IMAGE, Y2WIN_IMAGE,
// XYWIN_IMAGE), in pixels squared: the object's pixels weighted by a round Gaussian window about
// its windowed centre, which is found by iterating from the barycentre. Pixels of other objects
// count as their mirror image through the centre (as Source Extractor's MASK_TYPE CORRECT), or
// as 0 where that is masked too. Where no moments come out, the isophotal ones stand, as in
// Source Extractor.
struct WindowedMoments {
    double x2 = 0;
    double y2 = 0;
    double xy = 0;

    // sigma: the window's, in pixels.
    static WindowedMoments of(const ObjectCutout& cutout, const sep_catalog& catalog, int object,
                              double sigma);

    // How far from the centre the window reaches, in pixels.
    static double reach(double sigma) { return 4 * sigma + 2; }
};
