// ParseNumber against an independent reading of the same text: drop the blanks, take the longest
// leading decimal number, let the C library convert it. The two must agree, except that a
// magnitude beyond the double range saturates and one too small for a normal double may read as
// zero. The strict locale conversion that sizes the plot gets the same text.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "text/locale_number.h"
#include "text/parse_number.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t digitsFrom(const std::string& text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

// Sign, digits, optional point and digits (one digit at least), optional exponent with digits.
std::string leadingNumber(const std::string& text) {
    std::size_t at = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    const std::size_t intEnd = digitsFrom(text, at);
    std::size_t end = intEnd;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fracEnd = digitsFrom(text, end + 1);
        if (fracEnd > end + 1 || intEnd > at) end = fracEnd;
    }
    if (end == intEnd && intEnd == at) return {};
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exp = end + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) ++exp;
        const std::size_t expEnd = digitsFrom(text, exp);
        if (expEnd > exp) end = expEnd;
    }
    return text.substr(0, end);
}

double reference(std::string_view text) {
    std::string packed;
    for (const char c : text) {
        if (c != ' ' && c != '\t') packed += c;
    }
    const std::string number = leadingNumber(packed);
    if (number.empty()) return 0;
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (std::isinf(value)) return value < 0 ? -DBL_MAX : DBL_MAX;
    return value;
}

void checkLocaleNumber(std::string_view text, std::string_view separator) {
    const std::optional<float> value = parseLocaleNumber(text, separator);
    if (value) FUZZ_CHECK(std::isfinite(*value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double parsed = ParseNumber(text);
    const double expected = reference(text);
    FUZZ_CHECK(std::isfinite(parsed));
    const bool flushedToZero = parsed == 0 && std::fabs(expected) < DBL_MIN;
    FUZZ_CHECK(parsed == expected || flushedToZero);
    FUZZ_CHECK(std::signbit(parsed) == std::signbit(expected) || flushedToZero);
    checkLocaleNumber(text, ".");
    checkLocaleNumber(text, ",");
    return 0;
}
