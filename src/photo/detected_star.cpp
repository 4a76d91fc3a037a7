#include "photo/detected_star.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

bool finite(const StarRecord& r) {
    return std::isfinite(r.area) && std::isfinite(r.x) && std::isfinite(r.y) &&
           std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.extent1) &&
           std::isfinite(r.extent2) && std::isfinite(r.span) && std::isfinite(r.size) &&
           std::isfinite(r.angle) && std::isfinite(r.roundness);
}

// The saturation as the background-subtracted pixels see it at the object.
double saturationLeft(const GreyImage& picture, const sep_bkg& background, double x, double y) {
    if (!picture.saturation) return std::numeric_limits<double>::infinity();
    const int column = std::clamp(static_cast<int>(x + 0.5), 0, picture.width - 1);
    const int row = std::clamp(static_cast<int>(y + 0.5), 0, picture.height - 1);
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
    // Sums of the weighted least squares of ln p on d^2.
    double s = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    const int* pixel = catalog.pix[i];
    for (int k = 0; k < catalog.npix[i]; ++k) {
        const double p = picture.pixels[static_cast<std::size_t>(pixel[k])];
        if (!(p > thresh0 && p < saturation)) continue;
        const double dx = pixel[k] % picture.width - mx;
        const double dy = pixel[k] / picture.width - my;
        const double d2 = dx * dx + dy * dy;
        const double lp = std::log(p);
        const double w = p * p;
        s += w;
        sx += d2 * w;
        sxx += d2 * d2 * w;
        sy += lp * w;
        sxy += lp * d2 * w;
    }
    const double d = s * sxx - sx * sx;
    if (!(std::fabs(d) > 0)) return 0;
    double beta = -(s * sxy - sx * sy) / d;
    const double a = catalog.a[i];
    const double b = catalog.b[i];
    // No narrower than a Gaussian whose FWHM is six times the axes' geometric mean.
    beta = std::max(beta, 1 / (13 * a * b));
    const double width = 1.6651 / std::sqrt(beta);
    // Source Extractor's correction for undersampling.
    return width > 0 ? width - 1 / (4 * width) : width;
}

float DetectedStar::angle(double theta, bool rowsUp) {
    double degrees = theta * 180 / std::numbers::pi;
    // With rows running downward the array's +y is the picture's down.
    if (!rowsUp) degrees = -degrees;
    if (degrees < 0) degrees += 180;
    auto angle = static_cast<float>(degrees);
    // A hair below 180 rounds to 180 in single precision: the same axis as 0.
    if (angle >= 180 || angle == 0) angle = 0;
    return angle;
}

std::optional<StarRecord> DetectedStar::of(const sep_catalog& catalog, int i,
                                           const GreyImage& picture, const sep_bkg& background) {
    const double a = catalog.a[i];
    const double b = catalog.b[i];
    if (!(a > 0 && b > 0)) return {};
    const double x = catalog.x[i];
    const double y = catalog.y[i];
    const double size = fwhm(catalog, i, picture, saturationLeft(picture, background, x, y));
    if (!(size > 0)) return {};
    const double h = picture.height;
    StarRecord star;
    star.area = catalog.tnpix[i];
    star.x = x + 1;
    star.y = picture.rowsUp ? h - y : y + 1;
    star.left = catalog.xmin[i] + 1;
    star.top = picture.rowsUp ? h - catalog.ymax[i] : catalog.ymin[i] + 1;
    star.extent1 = catalog.xmax[i] - catalog.xmin[i] + 1;
    star.extent2 = catalog.ymax[i] - catalog.ymin[i] + 1;
    star.span = 6 * a;
    star.size = size;
    star.angle = angle(catalog.theta[i], picture.rowsUp);
    star.roundness = b / a;
    if (!finite(star)) return {};
    return star;
}
