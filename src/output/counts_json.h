#pragma once

#include <string>

#include "plot/plotting_run.h"

// The counts of a completed run as one JSON object: the classes with their labels and counts
// (0 where the window shows an empty cell), the records read and the stars drawn.
class CountsJson {
public:
    static std::string text(const RunResult& result);
};
