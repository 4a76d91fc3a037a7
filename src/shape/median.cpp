#include "shape/median.h"

#include <algorithm>
#include <cmath>

namespace {

// A strict order even for a NaN a broken source might give: NaNs after every number.
bool before(double a, double b) {
    return a < b || (!std::isnan(a) && std::isnan(b));
}

}  // namespace

std::optional<double> median(std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end(), before);
    if (values.size() % 2 == 1) return *middle;
    const double lower = *std::max_element(values.begin(), middle, before);
    return (lower + *middle) / 2;
}
