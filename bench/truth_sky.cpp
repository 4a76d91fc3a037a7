#include "truth_sky.h"

#include <fitsio.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

#include "split_mix_random.h"

// The shared random source, with draws between two bounds.
class TruthSky::Random : public SplitMixRandom {
public:
    using SplitMixRandom::SplitMixRandom;
    double between(double low, double high) { return low + (high - low) * uniform(); }
};

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kSigmaPerFwhm = 1 / 2.354820045;

}  // namespace

TruthSky::TruthSky(const Plan& plan)
    : plan_(plan),
      light_(static_cast<std::size_t>(plan.width) * static_cast<std::size_t>(plan.height)) {
    Random random(plan.seed);
    place(random);
    for (const Star& star : stars_) draw(star);
    addSkyAndNoise(random);
}

double TruthSky::skyNoise() const {
    return std::sqrt(plan_.sky / plan_.gain + plan_.readNoise * plan_.readNoise);
}

void TruthSky::place(Random& random) {
    // Neighbours far enough apart that no star's light reaches another's isophote.
    const double longest = plan_.fwhm * 1.05 * (plan_.frame == Frame::Mixed ? 2.0 : plan_.apart);
    // A crowded frame's stars fall where they fall, as in a rich field: some overlap.
    const double apart =
        plan_.frame == Frame::Crowded ? 0.0 : std::max(24.0, 7 * plan_.fwhm) + longest;
    const double margin = 3 * plan_.fwhm + longest;
    for (int n = 0; n < plan_.stars; ++n) {
        Kind kind = Kind::Single;
        if (plan_.frame == Frame::Doubled) kind = Kind::Doubled;
        if (plan_.frame == Frame::Trailed) kind = Kind::Trailed;
        if (plan_.frame == Frame::Mixed && n % 2 == 1) kind = Kind::Doubled;
        Star star = makeStar(random, kind);
        for (int attempt = 0; attempt < 200; ++attempt) {
            star.x = random.between(1 + margin, plan_.width - margin);
            star.y = random.between(1 + margin, plan_.height - margin);
            const bool free = std::none_of(stars_.begin(), stars_.end(), [&](const Star& s) {
                return std::hypot(s.x - star.x, s.y - star.y) < apart;
            });
            if (free) {
                stars_.push_back(star);
                break;
            }
        }
    }
}

TruthSky::Star TruthSky::makeStar(Random& random, Kind kind) const {
    Star star;
    star.kind = kind;
    star.fwhm = plan_.fwhm * random.between(0.95, 1.05);
    star.ratio = random.between(plan_.roundLow, 1.0);
    star.imageAngle = random.between(0, 180);
    star.peakSn = plan_.snLow * std::pow(plan_.snHigh / plan_.snLow, random.uniform());
    Star round = star;
    round.ratio = 1;
    star.flux = star.peakSn * skyNoise() * unitFlux(round);
    if (kind == Kind::Doubled) {
        star.apart = plan_.frame == Frame::Mixed ? random.between(1.0, 2.0) : plan_.apart;
        star.second = random.between(plan_.secondLow, 1.0);
        star.direction = random.between(0, 360);
    } else if (kind == Kind::Trailed) {
        star.apart = plan_.apart;
        star.direction = random.between(0, 180);
    }
    return star;
}

void TruthSky::draw(const Star& star) {
    const double along = star.apart * star.fwhm;
    const double ux = std::cos(star.direction * kDegree);
    const double uy = -std::sin(star.direction * kDegree);  // rows run downward
    if (star.kind == Kind::Doubled) {
        const double r = star.second;
        const double first = along * r / (1 + r);
        const double second = along / (1 + r);
        addImage(star, star.x - first * ux, star.y - first * uy, star.flux / (1 + r));
        addImage(star, star.x + second * ux, star.y + second * uy, star.flux * r / (1 + r));
    } else if (star.kind == Kind::Trailed) {
        // The trail as images close enough together to be one smooth streak.
        const double step = std::min(0.5, 0.15 * star.fwhm);
        const int n = std::max(2, static_cast<int>(std::ceil(along / step)));
        for (int k = 0; k < n; ++k) {
            const double t = -along / 2 + (k + 0.5) * along / n;
            addImage(star, star.x + t * ux, star.y + t * uy, star.flux / n);
        }
    } else {
        addImage(star, star.x, star.y, star.flux);
    }
}

double TruthSky::profile(double u, double v) const {
    const double r2 = u * u + v * v;
    return plan_.beta > 0 ? std::pow(1 + r2, -plan_.beta) : std::exp(-0.5 * r2);
}

namespace {

// The profile's scale along the major axis: a Gaussian's sigma, or Moffat's alpha.
double scaleOf(double fwhm, double beta) {
    return beta > 0 ? fwhm / (2 * std::sqrt(std::pow(2.0, 1 / beta) - 1)) : fwhm * kSigmaPerFwhm;
}

}  // namespace

double TruthSky::unitFlux(const Star& star) const {
    const double a = scaleOf(star.fwhm, plan_.beta);
    const double b = a * star.ratio;
    return plan_.beta > 0 ? std::numbers::pi * a * b / (plan_.beta - 1)
                          : 2 * std::numbers::pi * a * b;
}

double TruthSky::reach(const Star& star, double peak) const {
    const double faintest = 0.05 * skyNoise();
    const double a = scaleOf(star.fwhm, plan_.beta);
    if (peak <= faintest) return 0;
    const double r = plan_.beta > 0 ? a * std::sqrt(std::pow(peak / faintest, 1 / plan_.beta) - 1)
                                    : a * std::sqrt(2 * std::log(peak / faintest));
    return std::min(r, 25 * star.fwhm);
}

void TruthSky::addImage(const Star& star, double cx, double cy, double flux) {
    const double peak = flux / unitFlux(star);
    const double r = reach(star, peak);
    const double a = scaleOf(star.fwhm, plan_.beta);
    const double b = a * star.ratio;
    const double c = std::cos(star.imageAngle * kDegree);
    const double s = std::sin(star.imageAngle * kDegree);
    const int firstColumn = std::max(0, static_cast<int>(std::floor(cx - 1 - r)));
    const int lastColumn = std::min(plan_.width - 1, static_cast<int>(std::ceil(cx - 1 + r)));
    const int firstRow = std::max(0, static_cast<int>(std::floor(cy - 1 - r)));
    const int lastRow = std::min(plan_.height - 1, static_cast<int>(std::ceil(cy - 1 + r)));
    // Near the centre each pixel is the mean over 5 x 5 points of it, further out its centre.
    const double near = 2.5 * star.fwhm;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const double px = column + 1.0;
            const double py = row + 1.0;
            const double d = std::hypot(px - cx, py - cy);
            if (d > r + 1) continue;
            const int o = d < near ? 5 : 1;
            double sum = 0;
            for (int i = 0; i < o; ++i) {
                for (int j = 0; j < o; ++j) {
                    const double dx = px + (i + 0.5) / o - 0.5 - cx;
                    const double dy = cy - (py + (j + 0.5) / o - 0.5);  // up is +y
                    sum += profile((dx * c + dy * s) / a, (-dx * s + dy * c) / b);
                }
            }
            light_[static_cast<std::size_t>(row) * plan_.width + column] += peak * sum / (o * o);
        }
    }
}

void TruthSky::addSkyAndNoise(Random& random) {
    pixels_.resize(light_.size());
    for (int row = 0; row < plan_.height; ++row) {
        for (int column = 0; column < plan_.width; ++column) {
            const std::size_t at = static_cast<std::size_t>(row) * plan_.width + column;
            // A gentle gradient, as of moonlight or a city.
            const double sky =
                plan_.sky * (1 + 0.1 * column / plan_.width - 0.05 * row / plan_.height);
            const double mean = sky + light_[at];
            const double noise =
                std::sqrt(mean / plan_.gain + plan_.readNoise * plan_.readNoise) * random.normal();
            pixels_[at] =
                static_cast<std::uint16_t>(std::clamp(std::nearbyint(mean + noise), 0.0, 65535.0));
        }
    }
}

bool TruthSky::writeFits(const std::string& path) const {
    std::vector<std::uint16_t> upward(pixels_.size());
    const auto width = static_cast<std::size_t>(plan_.width);
    for (int row = 0; row < plan_.height; ++row) {
        std::copy_n(pixels_.begin() + static_cast<std::ptrdiff_t>(row * width), width,
                    upward.begin() + static_cast<std::ptrdiff_t>((plan_.height - 1 - row) * width));
    }
    const std::string name = "!" + path;  // replace an existing file
    fitsfile* file = nullptr;
    int status = 0;
    long axes[2] = {plan_.width, plan_.height};
    fits_create_file(&file, name.c_str(), &status);
    fits_create_img(file, USHORT_IMG, 2, axes, &status);
    fits_write_img(file, TUSHORT, 1, static_cast<LONGLONG>(upward.size()), upward.data(), &status);
    fits_close_file(file, &status);
    return status == 0;
}

const char* TruthSky::kindName(Kind kind) {
    switch (kind) {
        case Kind::Single:
            return "single";
        case Kind::Doubled:
            return "doubled";
        case Kind::Trailed:
            return "trailed";
    }
    return "";
}

const char* TruthSky::frameName(Frame frame) {
    switch (frame) {
        case Frame::Good:
            return "good";
        case Frame::Crowded:
            return "crowded";
        case Frame::Doubled:
            return "doubled";
        case Frame::Trailed:
            return "trailed";
        case Frame::Mixed:
            return "mixed";
    }
    return "";
}

bool TruthSky::writeTruth(const std::string& path) const {
    std::ofstream out(path);
    out << "# frame " << frameName(plan_.frame) << " apart " << plan_.apart << " fwhm "
        << plan_.fwhm << " beta " << plan_.beta << " sky " << plan_.sky << " noise " << skyNoise()
        << " seed " << plan_.seed << '\n';
    out << "kind,x,y,fwhm,ratio,image_angle,flux,peak_sn,apart,second,direction\n";
    out.precision(10);
    for (const Star& s : stars_) {
        out << kindName(s.kind) << ',' << s.x << ',' << s.y << ',' << s.fwhm << ',' << s.ratio
            << ',' << s.imageAngle << ',' << s.flux << ',' << s.peakSn << ',' << s.apart << ','
            << s.second << ',' << s.direction << '\n';
    }
    return static_cast<bool>(out);
}
