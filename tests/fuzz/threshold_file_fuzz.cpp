// The threshold file both ways. Read: any bytes either load as a whole table or give a message,
// and a loaded table saves and loads again to the same file. Write: any cell texts, as a user can
// type them, save as a file that loads back to the numbers the cells were read as.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "doublestar/threshold_file.h"
#include "fuzz_check.h"
#include "text/parse_number.h"

namespace {

void checkRead(std::string_view content) {
    const Result<ThresholdTable> loaded = ThresholdFile::parse(content);
    FUZZ_CHECK(loaded.done() == loaded.fault().message.empty());
    if (isValidUtf8(content)) FUZZ_CHECK(isValidUtf8(loaded.fault().message));
    if (!loaded.done()) return;
    const std::string saved = ThresholdFile::format(loaded.value());
    const Result<ThresholdTable> again = ThresholdFile::parse(saved);
    FUZZ_CHECK(again.done());
    FUZZ_CHECK(again.value().andSelected == loaded.value().andSelected);
    FUZZ_CHECK(ThresholdFile::format(again.value()) == saved);
}

// The 25 number cells in file order, then the flag, from the lines of the input.
ThresholdTable tableOf(std::string_view content) {
    ThresholdTable table;
    std::string* cells[25];
    for (std::size_t c = 0; c < AreaClass::kCount; ++c) {
        cells[3 * c] = &table.circularity[c];
        cells[3 * c + 1] = &table.areaRatio[c];
        cells[3 * c + 2] = &table.circleOccupancy[c];
    }
    cells[24] = &table.radialAngleCorrection;
    for (std::string* cell : cells) {
        const std::size_t end = content.find('\n');
        *cell = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
    }
    table.andSelected = !content.empty() && (content[0] & 1) != 0;
    return table;
}

void checkWrite(std::string_view content) {
    const ThresholdTable table = tableOf(content);
    const std::string saved = ThresholdFile::format(table);
    const Result<ThresholdTable> loaded = ThresholdFile::parse(saved);
    FUZZ_CHECK(loaded.done());
    FUZZ_CHECK(loaded.value().andSelected == table.andSelected);
    // What the cells held and what came back agree to the 15 digits the file keeps.
    FUZZ_CHECK(ThresholdFile::format(loaded.value()) == saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    checkRead(content);
    checkWrite(content);
    return 0;
}
