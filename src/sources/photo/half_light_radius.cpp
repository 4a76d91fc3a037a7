#include "sources/photo/half_light_radius.h"

#include <algorithm>
#include <cmath>

namespace {

// Source Extractor's PHOT_AUTOPARAMS (Kron factor, least radius), the reach of its Kron and
// growth-curve analysis (KRON_NSIG, GROWTH_NSIG, 3 * MARGIN_SCALE) and its growth curve's
// oversampling (GROWTH_OVERSAMP).
constexpr double kKronFactor = 2.5;
constexpr double kLeastKron = 3.5;
constexpr double kReach = 6;
constexpr int kSubpixels = 5;

}  // namespace

double HalfLightRadius::of(const ObjectCutout& cutout, const sep_catalog& catalog, int object) {
    const sep_image image = cutout.image();
    const double x = catalog.x[object] - cutout.x0();
    const double y = catalog.y[object] - cutout.y0();
    const double a = catalog.a[object];
    double kron = 0;
    short flag = 0;
    if (sep_kron_radius(&image, x, y, catalog.cxx[object], catalog.cyy[object], catalog.cxy[object],
                        kReach, ObjectCutout::kSelf, &kron, &flag) != 0) {
        return 0;
    }
    const double factor = std::max(kKronFactor * kron, kLeastKron);
    double flux = 0;
    double error = 0;
    double area = 0;
    if (sep_sum_ellipse(&image, x, y, a, catalog.b[object], catalog.theta[object], factor,
                        ObjectCutout::kSelf, 1, 0, &flux, &error, &area, &flag) != 0 ||
        !(flux > 0)) {
        return 0;
    }
    const double half = 0.5;
    double radius = 0;
    if (sep_flux_radius(&image, x, y, kReach * a, ObjectCutout::kSelf, kSubpixels, 0, &flux, &half,
                        1, &radius, &flag) != 0 ||
        !std::isfinite(radius)) {
        return 0;
    }
    return std::max(std::min(radius, kReach * a), 0.5);
}
