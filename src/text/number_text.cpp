#include "text/number_text.h"

#include <array>
#include <charconv>

std::string numberText(double value) {
    if (value == 0) return "0";  // no "-0"
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

std::string numberText(std::int64_t value) {
    return std::to_string(value);
}
