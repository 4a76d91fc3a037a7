// The star list as anything a user could pick. The streaming reader must read every input exactly
// as the plain reference does; then the input goes through two complete plotting runs on a small
// plot, with settings that reach both double-star rules, both renderings and the area filter's
// edges.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "doublestar/lens_preset.h"
#include "fuzz_check.h"
#include "memory_file.h"
#include "plot/plotting_run.h"
#include "plot/run_texts.h"
#include "raster/raster_surface.h"
#include "reference_star_list.h"
#include "sources/lists/star_list.h"

namespace {

bool same(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

bool sameRecord(const StarRecord& r, const ReferenceStarList::Items& items) {
    return same(r.index, items[0]) && same(r.area, items[1]) && same(r.x, items[2]) &&
           same(r.y, items[3]) && same(r.extent1, items[6]) && same(r.extent2, items[7]) &&
           same(r.span, items[8]) && same(r.size, items[9]) &&
           same(r.angle, static_cast<float>(items[10])) && same(r.roundness, items[11]);
}

void checkReader(const std::string& path, std::string_view text) {
    const ReferenceStarList::Read expected = ReferenceStarList::read(text);
    StarList list;
    std::size_t records = 0;
    StarSource::Status status = StarSource::Status::Fault;
    if (list.open(path).done()) {
        StarRecord record;
        while ((status = list.next(record)) == StarSource::Status::Record) {
            FUZZ_CHECK(records < expected.records.size());
            FUZZ_CHECK(sameRecord(record, expected.records[records]));
            ++records;
        }
    }
    FUZZ_CHECK(records == expected.records.size());
    FUZZ_CHECK((status == StarSource::Status::Fault) == expected.fault);
    FUZZ_CHECK(expected.fault != list.fault().message.empty());
    FUZZ_CHECK(list.recordsRead() == static_cast<std::int64_t>(records));
}

PlotRequest wideAngleControls(const std::string& path) {
    PlotRequest controls;
    controls.controls.width = "64";
    controls.controls.height = "48";
    controls.controls.areaMin = "-1e9";  // negative areas reach the classifier's "no class" path
    controls.controls.areaMax = "1e300";
    controls.starFile = path;
    return controls;
}

PlotRequest telephotoControls(const std::string& path) {
    PlotRequest controls;
    controls.controls.width = "31";
    controls.controls.height = "77";
    controls.controls.starSize = "7";
    controls.controls.areaMin = "10";
    controls.controls.areaMax = "300";
    controls.controls.grey = "249";
    controls.controls.subPixel = false;
    controls.controls.autoClear = false;  // draws over the previous run, after a resize
    controls.starFile = path;
    return controls;
}

ThresholdTable orTelephoto() {
    ThresholdTable table = LensPreset::telephoto();
    table.andSelected = false;
    table.radialAngleCorrection = "10";
    return table;
}

std::int64_t counted(const RunResult& result) {
    std::int64_t total = 0;
    for (std::size_t slot = 0; slot < result.singleCounts.size(); ++slot) {
        total += result.singleCounts[slot].value_or(0) + result.doubleCounts[slot];
    }
    return total;
}

struct Size {
    int width;
    int height;
};

// A run that cannot open its list stops before the plot is sized; any other has sized it.
void check(const RunResult& result, const RasterSurface& surface, Size before, Size after,
           bool utf8Input) {
    FUZZ_CHECK(result.done() == result.fault().message.empty());
    FUZZ_CHECK(result.starsDrawn <= result.recordsRead);
    const bool sized = surface.width() == after.width && surface.height() == after.height;
    const bool untouched = surface.width() == before.width && surface.height() == before.height;
    FUZZ_CHECK(sized || (untouched && !result.done() && result.recordsRead == 0));
    if (result.done()) FUZZ_CHECK(counted(result) == result.starsDrawn);
    if (utf8Input) {
        FUZZ_CHECK(isValidUtf8(result.fault().message) && isValidUtf8(result.fault().detail));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MemoryFile file(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkReader(file.path(), text);
    const bool utf8 = isValidUtf8(text);
    RasterSurface surface(5, 5);
    check(runTexts(wideAngleControls(file.path()), LensPreset::wideAngle(), surface), surface,
          {5, 5}, {64, 48}, utf8);
    const Size before{surface.width(), surface.height()};
    check(runTexts(telephotoControls(file.path()), orTelephoto(), surface), surface, before,
          {31, 77}, utf8);
    return 0;
}
