#include "sources/lists/extractor_measures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The ellipse a star is drawn and classified by: 1.5 times its own axes, so that its area
// grows with the star's FWHM and not with its brightness.
constexpr double kScale = 1.55;

bool finite(const StarRecord& r) {
    return std::isfinite(r.area) && std::isfinite(r.x) && std::isfinite(r.y) &&
           std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.extent1) &&
           std::isfinite(r.extent2) && std::isfinite(r.span) && std::isfinite(r.size) &&
           std::isfinite(r.angle) && std::isfinite(r.roundness) && std::isfinite(r.fwhm);
}

// A windowed variance v of a Gaussian profile under a Gaussian window of variance w2 is
// s2 w2 / (s2 + w2); solved for the profile's own variance s2.
double unwindowed(double v, double w2) {
    return v * w2 / (w2 - v);
}

}  // namespace

double ExtractorMeasures::windowSigma(double fluxRadius) {
    return std::max(fluxRadius, 0.5) * 2.0 / 2.35;
}

std::optional<ExtractorMeasures::Axes> ExtractorMeasures::axes() const {
    const double sigma = windowSigma(fluxRadius);
    const double w2 = sigma * sigma;
    const double mean = (x2Win + y2Win) / 2;
    const double half = (x2Win - y2Win) / 2;
    const double spread = std::sqrt(half * half + xyWin * xyWin);
    const double major = mean + spread;
    const double minor = mean - spread;
    if (!(minor > 0 && major < w2)) return {};
    double angle = std::atan2(2 * xyWin, x2Win - y2Win) / 2 * 180 / std::numbers::pi;
    if (angle < 0) angle += 180;
    return Axes{std::sqrt(unwindowed(major, w2)), std::sqrt(unwindowed(minor, w2)), angle};
}

std::optional<StarRecord> ExtractorMeasures::star(double height) const {
    const std::optional<Axes> own = axes();
    if (!own) return {};
    const double length = kScale * own->major;
    const double width = kScale * own->minor;
    const double roundness = own->minor / own->major;
    // Source Extractor writes 0, or noise below it, where it fitted no FWHM.
    const double measured = fwhm > 0 ? fwhm : 0;
    StarRecord star;
    star.area = std::numbers::pi * length * width;
    star.x = x;
    star.y = (height + 1) - y;
    star.left = xMin;
    star.top = (height + 1) - yMax;
    star.extent1 = measured / std::sqrt(roundness);
    star.extent2 = measured * std::sqrt(roundness);
    star.span = 2 * length;
    star.size = 2 * width;
    star.angle = static_cast<float>(own->angle);
    // A hair below 180 rounds to 180 in single precision: the same axis as 0.
    if (star.angle >= 180) star.angle = 0;
    star.roundness = roundness;
    star.fwhm = measured;
    if (!finite(star)) return {};
    return star;
}
