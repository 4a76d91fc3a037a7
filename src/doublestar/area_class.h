#pragma once

#include <array>
#include <string_view>

// The eight star-area classes of the double-star table, in row order.
struct AreaClass {
    int index;
    std::string_view label;
    double lower;  // area at least
    double upper;  // area below; the top class is taken for any larger area all the same
    double separationFactor;

    static constexpr int kCount = 8;
    static const std::array<AreaClass, kCount>& all();
    // The first class whose bounds hold the area (the top one for every area of 300 or more);
    // nullptr for a negative area, which belongs to no class.
    static const AreaClass* find(double area);
};
