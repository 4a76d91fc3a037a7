#include "sources/photo/windowed_moments.h"

#include <algorithm>
#include <cmath>

namespace {

// Source Extractor's constants for its windowed measures (WINPOS_...).
constexpr int kMostSteps = 16;
constexpr float kSigmas = 4;
constexpr int kOversampling = 11;
constexpr double kLeastStep = 0.0001;
constexpr double kStepFactor = 2.0;  // the centroid's offset times this, for a Gaussian

// The window about (mx, my) on the cutout, summed: the weight, the first and the second moments
// about (mx, my). Single precision where Source Extractor computes in it, so that the moments
// are its own.
struct Sums {
    double tv = 0;
    double dx = 0;
    double dy = 0;
    double x2 = 0;
    double y2 = 0;
    double xy = 0;
};

class Window {
public:
    Window(const ObjectCutout& cutout, float sigma)
        : cutout_(cutout),
          invTwoSigma2_(1.0F / (2.0F * sigma * sigma)),
          aperture_(kSigmas * sigma),
          aperture2_(aperture_ * aperture_),
          inner2_(aperture_ - 0.75F > 0.0F ? (aperture_ - 0.75F) * (aperture_ - 0.75F) : 0.0F),
          outer2_((aperture_ + 0.75F) * (aperture_ + 0.75F)) {}

    Sums sum(double mx, double my) const {
        const int xmin = std::max(0, static_cast<int>(mx - aperture_ + 0.499999));
        const int xmax = std::min(cutout_.width(), static_cast<int>(mx + aperture_ + 1.499999));
        const int ymin = std::max(0, static_cast<int>(my - aperture_ + 0.499999));
        const int ymax = std::min(cutout_.height(), static_cast<int>(my + aperture_ + 1.499999));
        Sums s;
        for (int y = ymin; y < ymax; ++y) {
            for (int x = xmin; x < xmax; ++x) {
                const auto dx = static_cast<float>(x - mx);
                const auto dy = static_cast<float>(y - my);
                const float r2 = dx * dx + dy * dy;
                if (r2 >= outer2_) continue;
                const float area =
                    (r2 > inner2_ ? covered(dx, dy) : 1.0F) * std::exp(-r2 * invTwoSigma2_);
                const double weighted = area * value(x, y, mx, my);
                s.tv += weighted;
                s.dx += weighted * dx;
                s.dy += weighted * dy;
                s.x2 += weighted * dx * dx;
                s.y2 += weighted * dy * dy;
                s.xy += weighted * dx * dy;
            }
        }
        return s;
    }

private:
    // How much of the pixel lies within the aperture, by 11 x 11 points.
    float covered(float dx, float dy) const {
        constexpr float kScale = 1.0F / kOversampling;
        constexpr float kOffset = 0.5F * (kScale - 1.0F);
        float area = 0;
        float sy = dy + kOffset;
        for (int j = 0; j < kOversampling; ++j, sy += kScale) {
            float sx = dx + kOffset;
            const float sy2 = sy * sy;
            for (int i = 0; i < kOversampling; ++i, sx += kScale) {
                if (sx * sx + sy2 < aperture2_) area += kScale * kScale;
            }
        }
        return area;
    }

    double value(int x, int y, double mx, double my) const {
        if (!cutout_.masked(x, y)) return cutout_.pixel(x, y);
        const int mirrorX = static_cast<int>(mx * 2.0 + 0.49999 - x);
        const int mirrorY = static_cast<int>(my * 2.0 + 0.49999 - y);
        if (mirrorX < 0 || mirrorX >= cutout_.width() || mirrorY < 0 ||
            mirrorY >= cutout_.height() || cutout_.masked(mirrorX, mirrorY)) {
            return 0;
        }
        return cutout_.pixel(mirrorX, mirrorY);
    }

    const ObjectCutout& cutout_;
    float invTwoSigma2_;
    float aperture_;
    float aperture2_;
    float inner2_;
    float outer2_;
};

}  // namespace

WindowedMoments WindowedMoments::of(const ObjectCutout& cutout, const sep_catalog& catalog,
                                    int object, double sigma) {
    const Window window(cutout, static_cast<float>(sigma));
    double mx = catalog.x[object] - cutout.x0();
    double my = catalog.y[object] - cutout.y0();
    Sums s;
    double dx = 0;
    double dy = 0;
    for (int step = 0; step < kMostSteps; ++step) {
        s = window.sum(mx, my);
        if (!(s.tv > 0)) break;
        dx = s.dx / s.tv;
        dy = s.dy / s.tv;
        mx += dx * kStepFactor;
        my += dy * kStepFactor;
        if (dx * dx + dy * dy < kLeastStep * kLeastStep) break;
    }
    WindowedMoments m{catalog.x2[object], catalog.y2[object], catalog.xy[object]};
    if (!(s.tv > 0)) return m;
    const double x2 = s.x2 / s.tv - dx * dx;
    const double y2 = s.y2 / s.tv - dy * dy;
    const double xy = s.xy / s.tv - dx * dy;
    if (x2 < 0 || y2 < 0 || x2 * y2 - xy * xy < 0) return m;
    m = {x2, y2, xy};
    // Fully correlated moments (a line of pixels): the pixels' own size added.
    if (m.x2 * m.y2 - m.xy * m.xy < 0.00694) {
        m.x2 += 0.0833333;
        m.y2 += 0.0833333;
    }
    return m;
}
