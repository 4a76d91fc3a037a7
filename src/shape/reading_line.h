#pragma once

#include <string>

// One finding of the map's reading: a code for programs and a sentence for the user.
struct ReadingLine {
    std::string
        code;  // too-few, round, trailing, radial, tangential, mixed, tilt, curvature, local
    std::string text;  // Japanese: what the stars show, the likely causes and the numbers
};
