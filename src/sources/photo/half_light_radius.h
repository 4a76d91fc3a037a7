#pragma once

#include "sources/photo/object_cutout.h"
#include "sources/photo/sep_objects.h"

// Source Extractor's half-light radius of an object (its FLUX_RADIUS, the radius of the circle
// about the barycentre that holds half of FLUX_AUTO), through SEP's apertures: the Kron radius
// within 6 times the isophotal ellipse; FLUX_AUTO in 2.5 times that, at least 3.5; the radius
// found within 6 a. At least 0.5 pixel, as Source Extractor takes it for its window; 0 when SEP
// cannot measure it.
class HalfLightRadius {
public:
    static double of(const ObjectCutout& cutout, const sep_catalog& catalog, int object);

    // How far from the barycentre the apertures reach, in pixels, for an object of major axis a.
    static double reach(double a) { return 15 * a + 2; }
};
