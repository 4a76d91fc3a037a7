#pragma once

#include <string>

#include "plot/plotting_run.h"

// The counts of a completed run as the window's table shows them: a header line, then a line
// per area class with its label, single and double counts, tab-separated.
class CountsTable {
public:
    static std::string text(const RunResult& result);
};
