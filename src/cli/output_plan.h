#pragma once

#include <string>
#include <vector>

#include "cli/plot_job.h"

// The files each input's run will write, worked out and checked before anything is read: a
// name that would overwrite an input or the threshold file, or that two runs or two outputs
// would both write, is a usage error.
class OutputPlan {
public:
    // An empty error when the plan holds; otherwise the usage error for standard error.
    static std::string check(const PlotJob& job, std::vector<OutputNames>& perInput);
    // For --watch: the usage error when an output would land in the watched folder under a name
    // it takes as an input.
    static std::string checkWatch(const PlotJob& job);
    // The files one input's run writes: the job's names with "{name}" expanded.
    static OutputNames namesFor(const PlotJob& job, const std::string& input);
    // "{name}" replaced by the input's file name without its extension.
    static std::string expand(const std::string& pattern, const std::string& input);
    static std::string stem(const std::string& input);
};
