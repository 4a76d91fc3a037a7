#include "shape/shape_tally.h"

#include <cmath>
#include <numbers>

#include "shape/median.h"

namespace {

constexpr double kPi = std::numbers::pi;

// ½·atan2(S, C) in degrees, taken into [0, 180).
double directionOf(double sumS, double sumC) {
    double degrees = 0.5 * std::atan2(sumS, sumC) / kPi * 180;
    if (degrees < 0) degrees = degrees + 180;
    if (degrees >= 180) degrees = degrees - 180;  // −0.000…1 + 180 rounds to 180
    return degrees == 0 ? 0.0 : degrees;          // no −0
}

}  // namespace

StarTerms ShapeTally::termsOf(const ShapeStar& star, double width, double height) {
    const double theta = static_cast<double>(star.angle);
    const double phi = std::atan2(height / 2 - star.y, star.x - width / 2) / kPi * 180;
    const double dx = star.x - width / 2;
    const double dy = star.y - height / 2;
    StarTerms terms;
    terms.e = star.elongation();
    terms.c = terms.e * std::cos(2 * theta * kPi / 180);
    terms.s = terms.e * std::sin(2 * theta * kPi / 180);
    terms.r = terms.e * std::cos(2 * (theta - phi) * kPi / 180);
    terms.radius = std::sqrt(dx * dx + dy * dy);
    return terms;
}

void ShapeTally::add(const ShapeStar& star, const StarTerms& terms) {
    ++n_;
    if (star.isDouble) ++doubles_;
    sumE_ = sumE_ + terms.e;
    sumC_ = sumC_ + terms.c;
    sumS_ = sumS_ + terms.s;
    sumR_ = sumR_ + terms.r;
    sizes_.push_back(star.size);
    roundness_.push_back(star.roundness);
}

ShapeSummary ShapeTally::summary() {
    ShapeSummary summary;
    summary.n = n_;
    summary.doubles = doubles_;
    summary.singles = n_ - doubles_;
    if (n_ == 0) return summary;
    const auto n = static_cast<double>(n_);
    summary.doubleFraction = static_cast<double>(doubles_) / n;
    summary.size = median(sizes_);
    summary.roundness = median(roundness_);
    summary.elongation = sumE_ / n;
    if (sumE_ == 0) return summary;
    summary.direction = directionOf(sumS_, sumC_);
    summary.coherence = std::sqrt(sumC_ * sumC_ + sumS_ * sumS_) / sumE_;
    summary.radial = sumR_ / sumE_;
    return summary;
}
