#include "text/number_text.h"

#include <array>
#include <charconv>

std::string numberText(double value) {
    if (value == 0) return "0";  // no "-0"
    std::array<char, 64> buffer{};
    // Whole numbers as digits: a record number of 100000 is "100000", not "1e+05". Beyond 10^15
    // digits would claim a precision the number does not have.
    const bool whole = value > -1e15 && value < 1e15 &&
                       value == static_cast<double>(static_cast<std::int64_t>(value));
    const auto result = whole ? std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                              static_cast<std::int64_t>(value))
                              : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

std::string numberText(std::int64_t value) {
    return std::to_string(value);
}

std::string numberText(float value) {
    if (value == 0) return "0";
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}
