#pragma once

#include <string>
#include <vector>

#include "cli/plot_job.h"

// quendra-plot's command line: options (as "--name value" or "--name=value") and inputs, read
// into a job. File names stay the bytes they were given as.
class PlotterOptions {
public:
    enum class Outcome { Run, Help, Usage };

    struct Parsed {
        Outcome outcome = Outcome::Usage;
        PlotJob job;
        std::string error;  // the usage error, for standard error
    };

    // decimalSeparator is the user's, as the window would use it for the sensor size;
    // processors is the default number of runs at a time.
    static Parsed parse(const std::vector<std::string>& args, const std::string& decimalSeparator,
                        int processors);
    static const char* usage();
};
