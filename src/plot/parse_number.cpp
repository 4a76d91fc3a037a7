#include "plot/parse_number.h"

#include <array>

#include "plot/number_syntax.h"

double ParseNumber(std::string_view text) {
    // Blanks may stand anywhere, even inside the number; only the leading numeric part counts,
    // and no number needs more than a few hundred characters.
    std::array<char, 400> compact{};
    std::size_t length = 0;
    for (const char c : text) {
        if (c == ' ' || c == '\t') continue;
        if (length == compact.size()) break;
        compact[length++] = c;
    }
    const std::string_view packed(compact.data(), length);
    return NumberSyntax::convertSaturating(packed.substr(0, NumberSyntax::prefixLength(packed)));
}
