#pragma once

#include <cstddef>
#include <string_view>

// The decimal number syntax shared by every reader: optional sign, digits with an optional "."
// and fraction (at least one digit in all), optional exponent "e" or "E" with its own sign.
class NumberSyntax {
public:
    // Length of the longest prefix of text that is a number, 0 when it does not start with one.
    static std::size_t prefixLength(std::string_view text);
    // Converts a text that is wholly a number. False when it is not, or lies beyond the double
    // range; a value too small to represent becomes zero.
    static bool convert(std::string_view number, double& value);
    // Like convert, but a magnitude beyond the double range saturates instead of failing.
    static double convertSaturating(std::string_view number);
};
