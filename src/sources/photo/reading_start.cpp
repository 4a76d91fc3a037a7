#include "sources/photo/reading_start.h"

#include <cerrno>
#include <cstdio>

#include "sources/photo/photo_messages.h"

Result<> startReading(const std::string& path, RunMonitor* monitor, bool byName) {
    if (byName) {
        std::FILE* probe = std::fopen(path.c_str(), "rb");
        if (probe == nullptr) return Fault{PhotoMessages::cannotOpen(path, errno), {}};
        std::fclose(probe);
    }
    if (monitor != nullptr && !monitor->proceed(PhotoMessages::kReadingStage, 0, 0)) {
        return Cancelled{};
    }
    return {};
}
