#pragma once

#include <string>

#include "plot/run_monitor.h"
#include "text/result.h"

// What every picture reader does first: the file must open (its own reason in the message, not
// a library's), and the monitor may cancel before the reading starts. Done when it may go on.
Result<> startReading(const std::string& path, RunMonitor* monitor);
