#include "output/summary_table.h"

#include <cmath>
#include <cstdio>

#include "text/messages.h"
#include "text/number_text.h"

namespace {

// The cells of one row, each with whether it is text (quoted in JSON) or a number.
struct Cell {
    std::string value;
    bool text;
};

std::string messageOf(const RunResult& result) {
    if (result.done()) return {};
    if (result.cancelled()) return "中止しました";
    const Fault& fault = result.fault();
    return fault.detail.empty() ? fault.message : fault.message + "\n" + fault.detail;
}

// JSON has no infinity nor NaN, which a broken star list could give: such a number is empty.
std::string optionalNumber(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? numberText(*value) : std::string();
}

// The star-shape map's numbers and reading, after the FWHM; all empty for a stopped run.
void appendMap(const std::optional<MapFigures>& map, std::vector<Cell>& cells) {
    const MapFigures none;
    const MapFigures& m = map ? *map : none;
    for (const std::optional<double>* value :
         {&m.frame.size, &m.frame.roundness, &m.frame.elongation, &m.frame.direction,
          &m.frame.coherence, &m.frame.radial, &m.tilt, &m.curvature}) {
        cells.push_back({optionalNumber(*value), false});
    }
    // Without a map, an empty number: null in JSON rather than an empty text.
    cells.push_back({map ? m.reading : std::string(), map.has_value()});
}

// How the frame was taken, last in the row; empty where the input does not say.
void appendFacts(const FrameFacts& facts, std::vector<Cell>& cells) {
    cells.push_back({facts.camera, true});
    cells.push_back({optionalNumber(facts.exposure), false});
    cells.push_back({optionalNumber(facts.iso), false});
    cells.push_back({facts.taken, true});
}

std::vector<Cell> cellsOf(const SummaryRow& row) {
    const RunResult& r = row.result;
    std::vector<Cell> cells{{row.file, true},
                            {r.done() ? "completed" : "stopped", true},
                            {messageOf(r), true},
                            {numberText(r.recordsRead), false},
                            {numberText(r.starsDrawn), false}};
    std::int64_t singles = 0;
    std::int64_t doubles = 0;
    for (const AreaClass& c : AreaClass::all()) {
        const auto slot = static_cast<std::size_t>(c.index) + 1;
        const std::int64_t single = r.done() ? r.singleCounts[slot].value_or(0) : 0;
        const std::int64_t twin = r.done() ? r.doubleCounts[slot] : 0;
        singles += single;
        doubles += twin;
        cells.push_back({numberText(single), false});
        cells.push_back({numberText(twin), false});
    }
    cells.push_back({numberText(singles), false});
    cells.push_back({numberText(doubles), false});
    const double fraction =
        r.starsDrawn > 0 ? static_cast<double>(doubles) / static_cast<double>(r.starsDrawn) : 0.0;
    cells.push_back({numberText(fraction), false});
    cells.push_back({row.fwhm && r.done() ? numberText(*row.fwhm) : "", false});
    appendMap(r.done() ? row.map : std::nullopt, cells);
    appendFacts(r.facts, cells);
    return cells;
}

std::string csvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// The same text as the CSV holds, in JSON's escapes: a control character (the line end between
// a message and its detail, a newline in a file name) as \n or \u00XX. JSON text must be UTF-8:
// bytes that are not are shown as \xNN, as the messages show them.
std::string jsonString(const std::string& value) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    std::size_t from = 0;
    const auto shownUpTo = [&](std::size_t to) {
        out += Messages::shownName(std::string_view(value).substr(from, to - from));
    };
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\' && byte != 0x7F) continue;
        shownUpTo(i);
        from = i + 1;
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += value[i];
        } else if (byte == '\n') {
            out += "\\n";
        } else {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    shownUpTo(value.size());
    return out + '"';
}

}  // namespace

std::vector<std::string> SummaryTable::columns() {
    std::vector<std::string> names{"file", "status", "message", "records", "drawn"};
    for (const AreaClass& c : AreaClass::all()) {
        names.push_back("single_" + std::string(c.label));
        names.push_back("double_" + std::string(c.label));
    }
    names.insert(names.end(), {"singles", "doubles", "double_fraction", "fwhm"});
    names.insert(names.end(), {"size", "roundness", "elongation", "direction", "coherence",
                               "radial", "tilt", "curvature", "reading"});
    names.insert(names.end(), {"camera", "exposure", "iso", "taken"});
    return names;
}

std::string SummaryTable::csvHeader() {
    std::string text;
    const std::vector<std::string> names = columns();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += ',';
        text += names[i];
    }
    return text + "\r\n";
}

std::string SummaryTable::csvRow(const SummaryRow& row) {
    std::string text;
    const std::vector<Cell> cells = cellsOf(row);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) text += ',';
        text += csvField(cells[i].value);
    }
    return text + "\r\n";
}

std::string SummaryTable::csv(const std::vector<SummaryRow>& rows) {
    std::string text = csvHeader();
    for (const SummaryRow& row : rows) text += csvRow(row);
    return text;
}

std::string SummaryTable::json(const std::vector<SummaryRow>& rows) {
    const std::vector<std::string> names = columns();
    std::string text = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        text += r ? ",\n {" : "\n {";
        const std::vector<Cell> cells = cellsOf(rows[r]);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            text += (i ? ", \"" : "\"") + names[i] + "\": ";
            // A number that is not there (no FWHM, no exposure) is null.
            const std::string& value = cells[i].value;
            text += cells[i].text ? jsonString(value) : value.empty() ? "null" : value;
        }
        text += '}';
    }
    return text + (rows.empty() ? "]\n" : "\n]\n");
}
