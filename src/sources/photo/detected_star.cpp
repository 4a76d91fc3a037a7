#include "sources/photo/detected_star.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sources/photo/half_light_radius.h"
#include "sources/photo/object_cutout.h"
#include "sources/photo/windowed_moments.h"

namespace {

constexpr double kMostReach = 512;

// The saturation as the background-subtracted pixels see it at the object.
double saturationLeft(const GreyImage& picture, const sep_bkg& background, double x, double y) {
    if (!picture.saturation) return std::numeric_limits<double>::infinity();
    // The pixel nearest to the barycentre, as Source Extractor takes it.
    const int column = std::clamp(static_cast<int>(std::floor(x + 0.5)), 0, picture.width - 1);
    const int row = std::clamp(static_cast<int>(std::floor(y + 0.5)), 0, picture.height - 1);
    return *picture.saturation - sep_bkg_pix(&background, column, row);
}

}  // namespace

double DetectedStar::fwhm(const sep_catalog& catalog, int i, const GreyImage& picture,
                          double saturation) {
    const double thresh0 =
        std::max(static_cast<double>(catalog.peak[i]) / 5, static_cast<double>(catalog.thresh[i]));
    if (!(thresh0 > 0)) return 0;
    const double mx = catalog.x[i];
    const double my = catalog.y[i];
    const int* pixel = catalog.pix[i];
    const auto used = [&](int k, double& p, double& d2) {
        p = picture.pixels[static_cast<std::size_t>(pixel[k])];
        if (!(p > thresh0 && p < saturation)) return false;
        const int column = pixel[k] % picture.width;
        const int row = pixel[k] / picture.width;
        const double dx = column - mx;
        const double dy = row - my;
        d2 = dx * dx + dy * dy;
        return true;
    };
    // The weighted least squares of ln p on d^2, about the weighted mean of d^2: summed the
    // plain way, the slope's numerator and denominator cancel to rounding noise when every
    // pixel lies at one distance (a one-pixel spike), and the noise decides the FWHM.
    double s = 0;
    double sx = 0;
    double nearest = std::numeric_limits<double>::infinity();
    double farthest = -nearest;
    for (int k = 0; k < catalog.npix[i]; ++k) {
        double p = 0;
        double d2 = 0;
        if (!used(k, p, d2)) continue;
        s += p * p;
        sx += d2 * p * p;
        nearest = std::min(nearest, d2);
        farthest = std::max(farthest, d2);
    }
    if (!(s > 0)) return 0;
    const double mean = sx / s;
    double sdd = 0;
    double sdl = 0;
    for (int k = 0; k < catalog.npix[i]; ++k) {
        double p = 0;
        double d2 = 0;
        if (!used(k, p, d2)) continue;
        const double d = d2 - mean;
        sdd += p * p * d * d;
        sdl += p * p * d * std::log(p);
    }
    // All at one distance (one pixel above peak / 5: a star narrower than the pixels, or a
    // spike): the fit tells nothing and the floor below holds.
    double beta = nearest < farthest && sdd > 0 ? -sdl / sdd : 0;
    const double a = catalog.a[i];
    const double b = catalog.b[i];
    // No narrower than a Gaussian whose FWHM is six times the axes' geometric mean.
    beta = std::max(beta, 1 / (13 * a * b));
    const double width = 1.6651 / std::sqrt(beta);
    // Source Extractor's correction for undersampling.
    return width > 0 ? width - 1 / (4 * width) : width;
}

std::optional<ExtractorMeasures> DetectedStar::measures(const sep_catalog& catalog, int i,
                                                        const GreyImage& picture,
                                                        const sep_bkg& background,
                                                        const ObjectNeighbours& neighbours) {
    const double a = catalog.a[i];
    if (!(a > 0 && catalog.b[i] > 0)) return {};
    const double x = catalog.x[i];
    const double y = catalog.y[i];
    ExtractorMeasures m;
    m.fwhm = fwhm(catalog, i, picture, saturationLeft(picture, background, x, y));
    // Apertures as far as Source Extractor's reach, the window's too where it reaches further;
    // for an object hundreds of pixels wide (a nebula, no star) no further than kMostReach, so
    // that measuring it on every core at once never copies the picture many times over.
    const int reach = static_cast<int>(std::min(HalfLightRadius::reach(a), kMostReach));
    ObjectCutout cutout(picture, catalog, neighbours, i, reach);
    m.fluxRadius = HalfLightRadius::of(cutout, catalog, i);
    if (!(m.fluxRadius > 0)) return {};
    const double sigma = ExtractorMeasures::windowSigma(m.fluxRadius);
    if (WindowedMoments::reach(sigma) > reach) {
        cutout =
            ObjectCutout(picture, catalog, neighbours, i,
                         static_cast<int>(std::min(WindowedMoments::reach(sigma), kMostReach)));
    }
    const WindowedMoments window = WindowedMoments::of(cutout, catalog, i, sigma);
    // FITS pixels: 1 at the centre of the first column and of the bottom row.
    m.x = x + 1;
    m.y = y + 1;
    m.xMin = catalog.xmin[i] + 1;
    m.xMax = catalog.xmax[i] + 1;
    m.yMin = catalog.ymin[i] + 1;
    m.yMax = catalog.ymax[i] + 1;
    m.x2Win = window.x2;
    m.y2Win = window.y2;
    m.xyWin = window.xy;
    return m;
}

std::optional<StarRecord> DetectedStar::of(const sep_catalog& catalog, int i,
                                           const GreyImage& picture, const sep_bkg& background,
                                           const ObjectNeighbours& neighbours) {
    const std::optional<ExtractorMeasures> m =
        measures(catalog, i, picture, background, neighbours);
    if (!m) return {};
    return m->star(picture.height);
}
