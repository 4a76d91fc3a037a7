#include "text/number_syntax.h"

#include <charconv>
#include <limits>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

// True when a number whose conversion was out of range is too large rather than too small:
// the position of its leading significant digit plus its exponent decides.
bool overflows(std::string_view number) {
    std::size_t at = (number[0] == '+' || number[0] == '-') ? 1 : 0;
    long magnitude = 0;
    bool seenSignificant = false;
    bool afterPoint = false;
    for (; at < number.size() && number[at] != 'e' && number[at] != 'E'; ++at) {
        if (number[at] == '.') {
            afterPoint = true;
        } else if (!seenSignificant && number[at] != '0') {
            seenSignificant = true;
        } else if (!seenSignificant && afterPoint) {
            --magnitude;
        }
        if (seenSignificant && !afterPoint) ++magnitude;
    }
    long exponent = 0;
    if (at < number.size()) {
        ++at;
        const bool negative = at < number.size() && number[at] == '-';
        if (at < number.size() && (number[at] == '-' || number[at] == '+')) ++at;
        for (; at < number.size() && exponent < 100000; ++at)
            exponent = exponent * 10 + (number[at] - '0');
        if (negative) exponent = -exponent;
    }
    return magnitude + exponent > 0;
}

}  // namespace

std::size_t NumberSyntax::prefixLength(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t intStart = at;
    at = skipDigits(text, at);
    std::size_t digits = at - intStart;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fracStart = at + 1;
        const std::size_t fracEnd = skipDigits(text, fracStart);
        digits += fracEnd - fracStart;
        if (digits > 0) at = fracEnd;
    }
    if (digits == 0) return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exp = at + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) ++exp;
        const std::size_t expEnd = skipDigits(text, exp);
        if (expEnd > exp) at = expEnd;
    }
    return at;
}

bool NumberSyntax::convert(std::string_view number, double& value) {
    if (number.empty() || prefixLength(number) != number.size()) return false;
    const bool negative = number[0] == '-';
    const std::string_view body = (number[0] == '+' || negative) ? number.substr(1) : number;
    double magnitude = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), magnitude);
    if (ec == std::errc::result_out_of_range) {
        if (overflows(number)) return false;
        magnitude = 0;
    } else if (ec != std::errc() || end != body.data() + body.size()) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

double NumberSyntax::convertSaturating(std::string_view number) {
    double value = 0;
    if (convert(number, value)) return value;
    if (number.empty() || prefixLength(number) != number.size()) return 0;
    const double largest = std::numeric_limits<double>::max();
    return number[0] == '-' ? -largest : largest;
}
