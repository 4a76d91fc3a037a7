#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "doublestar/threshold_table.h"
#include "text/result.h"

// The threshold file: eight lines of three numbers (one per area class) and a last line with
// the radial-angle correction and the AND flag, CR LF line ends.
class ThresholdFile {
public:
    static constexpr int kFieldCount = 26;

    // The file's text for a table; every cell is converted as the classification reads it.
    static std::string format(const ThresholdTable& table);
    // Reads the first 26 fields, wherever the lines break; anything after them is ignored.
    // All fields are checked before anything is returned, so a fault (what is wrong, in
    // Japanese) leaves no half table.
    static Result<ThresholdTable> parse(std::string_view content);
    // Reads and parses the whole file at path (a name in the system's own bytes). A file that
    // cannot be read, or is larger than any threshold file could sensibly be, is a fault too.
    static Result<ThresholdTable> read(const std::string& path);
    static constexpr std::size_t kLargestFile = std::size_t{64} * 1024 * 1024;
    // One number field: blank or "-", up to 15 significant digits, no zero before the point,
    // then one blank (" .25 ", " 10 ", "-1.5 ").
    static std::string formatNumber(double value);
};
