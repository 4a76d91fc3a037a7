#include "sources/photo/reading_start.h"

#include <cerrno>
#include <cstdio>

#include "sources/photo/photo_messages.h"

Outcome startReading(const std::string& path, RunMonitor* monitor, Fault& fault) {
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        fault = {PhotoMessages::cannotOpen(path, errno), {}};
        return Outcome::Fault;
    }
    if (monitor != nullptr && !monitor->proceed(PhotoMessages::kReadingStage, 0, 0)) {
        return Outcome::Cancelled;
    }
    return Outcome::Done;
}
