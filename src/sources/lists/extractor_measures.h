#pragma once

#include <optional>

#include "plot/star_record.h"

// What Source Extractor measures of one object, as far as a star needs it, in its own
// conventions: FITS pixels (1 at the centre of the first column and of the bottom row, rows
// upward). A catalog's row gives these columns; a photograph's object is measured the same way.
// Both become a star by star(), so that the two give the same record.
struct ExtractorMeasures {
    double x = 0;  // X_IMAGE, Y_IMAGE: the barycentre
    double y = 0;
    double xMin = 0;  // XMIN_IMAGE .. YMAX_IMAGE: the pixels above the threshold
    double xMax = 0;
    double yMin = 0;
    double yMax = 0;
    double x2Win = 0;       // X2WIN_IMAGE, Y2WIN_IMAGE, XYWIN_IMAGE: the second moments under
    double y2Win = 0;       // Source Extractor's window, a Gaussian of sigma 2 / 2.35 times the
    double xyWin = 0;       // half-light radius
    double fluxRadius = 0;  // FLUX_RADIUS: the half-light radius
    double fwhm = 0;        // FWHM_IMAGE; 0 or below where none was fitted

    // The axes that make the record: the star's own second moments along its major and minor
    // axis, the window taken out, in pixels; and the major axis' angle in degrees,
    // counter-clockwise from +x with up as +y, in [0, 180).
    struct Axes {
        double major = 0;
        double minor = 0;
        double angle = 0;
    };
    // Nothing when the moments are no star's (not positive, or as wide as the window).
    std::optional<Axes> axes() const;

    // The star of the object on a picture `height` rows high, Y turned downward; nothing when
    // the object is no star (no axes, a value that is not finite). An object without a FWHM
    // (0: Source Extractor could not fit one) is a star with extents 0.
    std::optional<StarRecord> star(double height) const;

    // Source Extractor's window for an object whose half-light radius is fluxRadius: its
    // sigma, the radius at least 0.5 pixel.
    static double windowSigma(double fluxRadius);
};
