// A Source Extractor catalog as anything a user could pick. The streaming reader must read every
// input exactly as the plain reference does, each row made a star as a photograph's object is;
// then the input goes through a complete plotting run on a small plot.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "doublestar/lens_preset.h"
#include "fuzz_check.h"
#include "memory_file.h"
#include "plot/plotting_run.h"
#include "raster/raster_surface.h"
#include "reference_catalog.h"
#include "sources/lists/extractor_measures.h"
#include "sources/lists/sextractor_catalog.h"

namespace {

constexpr int kHeight = 48;

bool same(double a, double b) {
    return (a == b && std::signbit(a) == std::signbit(b)) || (std::isnan(a) && std::isnan(b));
}

// The row's measures, in the order of ReferenceCatalog::kNames.
std::optional<StarRecord> starOf(const ReferenceCatalog::Values& v) {
    return ExtractorMeasures{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]}
        .star(kHeight);
}

bool isStar(const ReferenceCatalog::Values& v) {
    return starOf(v).has_value();
}

bool sameRecord(const StarRecord& r, const ReferenceCatalog::Values& v, double index) {
    const StarRecord s = *starOf(v);
    return same(r.index, index) && same(r.area, s.area) && same(r.x, s.x) && same(r.y, s.y) &&
           same(r.left, s.left) && same(r.top, s.top) && same(r.extent1, s.extent1) &&
           same(r.extent2, s.extent2) && same(r.span, s.span) && same(r.size, s.size) &&
           same(r.angle, s.angle) && same(r.roundness, s.roundness) && same(r.fwhm, s.fwhm);
}

void checkReader(const std::string& path, std::string_view text) {
    const ReferenceCatalog::Read expected = ReferenceCatalog::read(text);
    SextractorCatalog catalog;
    std::size_t row = 0;
    double index = 0;
    StarSource::Status status = StarSource::Status::Fault;
    if (catalog.open(path, kHeight).done()) {
        StarRecord record;
        while ((status = catalog.next(record)) == StarSource::Status::Record) {
            while (row < expected.rows.size() && !isStar(expected.rows[row])) ++row;
            FUZZ_CHECK(row < expected.rows.size());
            FUZZ_CHECK(sameRecord(record, expected.rows[row], ++index));
            ++row;
        }
    }
    while (row < expected.rows.size() && !isStar(expected.rows[row])) ++row;
    FUZZ_CHECK(row == expected.rows.size());
    FUZZ_CHECK((status == StarSource::Status::Fault) == expected.fault);
    FUZZ_CHECK(expected.fault != catalog.fault().message.empty());
    FUZZ_CHECK(catalog.recordsRead() == static_cast<std::int64_t>(index));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MemoryFile file(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkReader(file.path(), text);
    PlotRequest request;
    request.controls.width = "64";
    request.controls.height = std::to_string(kHeight);
    request.controls.areaMin = "-1e9";
    request.controls.areaMax = "1e300";
    request.thresholds = LensPreset::wideAngle();
    request.starFile = file.path();
    RasterSurface surface(5, 5);
    const RunResult result = runPlot(request, SextractorCatalog::openSource, surface);
    FUZZ_CHECK(result.done() == result.fault().message.empty());
    FUZZ_CHECK(result.starsDrawn <= result.recordsRead);
    if (isValidUtf8(text)) FUZZ_CHECK(isValidUtf8(result.fault().message));
    return 0;
}
