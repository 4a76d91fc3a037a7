#pragma once

#include <optional>
#include <vector>

// The middle value, or the mean of the two middle values; empty for no values. Reorders them.
std::optional<double> median(std::vector<double>& values);
