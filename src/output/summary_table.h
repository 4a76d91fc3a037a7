#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plot/plotting_run.h"
#include "shape/shape_map.h"

// What a summary row shows of the run's star-shape map: the frame's numbers and the reading.
struct MapFigures {
    ShapeSummary frame;
    std::optional<double> tilt;
    std::optional<double> curvature;
    std::string reading;  // the codes joined by "+"

    static MapFigures of(const ShapeMap& map) {
        return {map.frame(), map.tilt(), map.curvature(), map.readingCodes()};
    }
};

// One row of a batch's summary: an input and how its run ended.
struct SummaryRow {
    std::string file;
    RunResult result;
    std::optional<double> fwhm{};  // the drawn stars' median FWHM, where their source measures one
    std::optional<MapFigures> map{};  // of a completed run
};

// The summary of a batch, one row per input in the order of the inputs: file, status
// (completed or stopped), message, records, drawn, single and double counts per area class,
// singles, doubles, the double fraction (doubles / drawn) and the drawn stars' median FWHM
// (empty when none has one); the star-shape map's size, roundness, elongation, direction,
// coherence, radial, tilt, curvature and reading; then how the frame was taken (camera, exposure
// in seconds, iso, taken). Empty where there is no such number (null in JSON).
class SummaryTable {
public:
    // CSV with a header line, quoted as RFC 4180 quotes.
    static std::string csv(const std::vector<SummaryRow>& rows);
    // The CSV's header line and one row's line, each with its CR LF, for a summary written a
    // row at a time.
    static std::string csvHeader();
    static std::string csvRow(const SummaryRow& row);
    // An array of objects with the same keys.
    static std::string json(const std::vector<SummaryRow>& rows);
    static std::vector<std::string> columns();
};
