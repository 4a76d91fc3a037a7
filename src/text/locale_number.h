#pragma once

#include <optional>
#include <string_view>

// The strict conversion used to size the plot: the whole text, blanks around it allowed, must be
// one number written with the user's decimal separator. The result is single precision.
std::optional<float> parseLocaleNumber(std::string_view text, std::string_view decimalSeparator);
