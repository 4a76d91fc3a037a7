#pragma once

#include <string>

#include "plot/run_monitor.h"
#include "text/result.h"

// What every picture reader does first: a file read by its name must open (its own reason in the
// message, not a library's), and the monitor may cancel before the reading starts. Done when it
// may go on. byName false: the file's bytes are at hand already, and it is not opened again.
Result<> startReading(const std::string& path, RunMonitor* monitor, bool byName = true);
