#include "text/locale_number.h"

#include <cmath>
#include <limits>
#include <string>

#include "text/number_syntax.h"

std::optional<float> parseLocaleNumber(std::string_view text, std::string_view decimalSeparator) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    std::string plain(text);
    if (!decimalSeparator.empty() && decimalSeparator != ".") {
        if (plain.find('.') != std::string::npos) return std::nullopt;
        const auto at = plain.find(decimalSeparator);
        if (at != std::string::npos) {
            plain = plain.substr(0, at) + '.' + plain.substr(at + decimalSeparator.size());
        }
    }
    double value = 0;
    if (!NumberSyntax::convert(plain, value)) return std::nullopt;
    // Beyond the single-precision range the conversion overflows, as it would for the user.
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(value);
}
