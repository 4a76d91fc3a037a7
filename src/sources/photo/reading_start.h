#pragma once

#include <string>

#include "sources/photo/grey_image.h"
#include "plot/run_monitor.h"
#include "text/fault.h"

// What every picture reader does first: the file must open (its own reason in the message, not
// a library's), and the monitor may cancel before the reading starts. Done when it may go on.
Outcome startReading(const std::string& path, RunMonitor* monitor, Fault& fault);
