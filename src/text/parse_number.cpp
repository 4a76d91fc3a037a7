#include "text/parse_number.h"

#include <array>
#include <string>

#include "text/number_syntax.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

double leadingNumber(std::string_view packed) {
    return NumberSyntax::convertSaturating(packed.substr(0, NumberSyntax::prefixLength(packed)));
}

// Texts too long for the stack: rare, but their value must not depend on where a buffer ends
// (450 leading zeros before "123" still read 123).
double parseLong(std::string_view text) {
    std::string packed;
    for (const char c : text) {
        if (!isBlank(c)) packed += c;
    }
    return leadingNumber(packed);
}

}  // namespace

double ParseNumber(std::string_view text) {
    // Blanks may stand anywhere, even inside the number; only the leading numeric part counts.
    // Every text a user types fits the buffer, so a setting is read without allocating.
    std::array<char, 400> compact{};
    std::size_t length = 0;
    for (const char c : text) {
        if (isBlank(c)) continue;
        if (length == compact.size()) return parseLong(text);
        compact[length++] = c;
    }
    return leadingNumber({compact.data(), length});
}

bool IsWholeNumber(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return !text.empty() && NumberSyntax::prefixLength(text) == text.size();
}
