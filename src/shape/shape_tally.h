#pragma once

#include <cstdint>
#include <vector>

#include "shape/shape_star.h"
#include "shape/shape_summary.h"

// The terms one star adds to the sums of the sets it belongs to, worked out once per star.
struct StarTerms {
    double e = 0;       // elongation
    double c = 0;       // e·cos 2θ
    double s = 0;       // e·sin 2θ
    double r = 0;       // e·cos 2(θ − φ)
    double radius = 0;  // d, the distance from the plot's centre
};

// Adds up the stars of one set (the frame or one region) in the order they are drawn, and keeps
// their sizes and roundness for the medians.
class ShapeTally {
public:
    // width, height: the plot's W × H; its centre is (W/2, H/2).
    static StarTerms termsOf(const ShapeStar& star, double width, double height);

    void add(const ShapeStar& star, const StarTerms& terms);
    // The numbers of the stars added. Uses up the values kept for the medians.
    ShapeSummary summary();

private:
    std::int64_t n_ = 0;
    std::int64_t doubles_ = 0;
    double sumE_ = 0;
    double sumC_ = 0;
    double sumS_ = 0;
    double sumR_ = 0;
    std::vector<double> sizes_;
    std::vector<double> roundness_;
};
