#pragma once

#include <string>

// The decimal separator of the user's locale, with which the window reads the sensor size.
std::string userDecimalSeparator();
