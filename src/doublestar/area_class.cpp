#include "doublestar/area_class.h"

const std::array<AreaClass, AreaClass::kCount>& AreaClass::all() {
    static constexpr std::array<AreaClass, kCount> kClasses{{
        {0, "1-9", 0, 10, 1},
        {1, "10-19", 10, 20, 2},
        {2, "20-49", 20, 50, 4},
        {3, "50-99", 50, 100, 4},
        {4, "100-149", 100, 150, 4},
        {5, "150-199", 150, 200, 4},
        {6, "200-299", 200, 300, 4},
        {7, "300-", 300, 20000, 4},
    }};
    return kClasses;
}

const AreaClass* AreaClass::find(double area) {
    const auto& classes = all();
    for (std::size_t c = 0; c + 1 < classes.size(); ++c) {
        if (classes[c].lower <= area && area < classes[c].upper) return &classes[c];
    }
    return area >= classes.back().lower ? &classes.back() : nullptr;
}
