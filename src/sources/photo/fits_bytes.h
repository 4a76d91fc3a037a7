#pragma once

#include <string>
#include <string_view>

#include "plot/run_monitor.h"
#include "text/result.h"

// A gzip-compressed FITS file inflated for CFITSIO to read from memory, once, and only as far as
// its first image needs: through the headers and data of the HDUs before it, then to the end of
// the image's data, or of its header where only its size is wanted. CFITSIO would inflate the
// whole stream, however much more than its header says it holds. An image too large for the
// machine's memory is refused from its header, before its data is inflated.
class FitsBytes {
public:
    enum class Extent { Header, Image };

    static bool isGzip(std::string_view head);

    // The inflated bytes from the file, or from content (the file's bytes, where it cannot be
    // read by name); a fault names path. Cancelled when the monitor said stop.
    static Result<std::string> inflate(const std::string& path, const std::string* content,
                                       Extent extent, RunMonitor* monitor);
};
