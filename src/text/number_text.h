#pragma once

#include <cstdint>
#include <string>

// Numbers as the windows show them: integers as plain digits ("30", "3034", "100000"), fractions
// in their shortest decimal form with "." and a zero before the point ("0.25").
std::string numberText(double value);
// A single-precision value in its shortest form that reads back as the same float.
std::string numberText(float value);
std::string numberText(std::int64_t value);
