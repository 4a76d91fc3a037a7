#pragma once

#include <string_view>

// The leading numeric part of a text as a double: blanks are ignored, "." is the decimal point
// whatever the locale, an exponent may follow. Empty or non-numeric text gives 0; it never fails.
// A magnitude beyond the double range gives the largest finite double of that sign.
double ParseNumber(std::string_view text);

// Whether the text is one number and nothing else, blanks before and after it aside: then
// ParseNumber reads all of it. "1,5" (read as 1), "abc" and "" (read as 0) and "1 5" (read as
// 15) are not.
bool IsWholeNumber(std::string_view text);
