#include "output/counts_json.h"

std::string CountsJson::text(const RunResult& result) {
    std::string text = "{\"classes\": [";
    for (const AreaClass& c : AreaClass::all()) {
        const auto slot = static_cast<std::size_t>(c.index) + 1;
        text += c.index == 0 ? "" : ", ";
        text += "{\"label\": \"";
        text += c.label;
        text += "\", \"single\": " + std::to_string(result.singleCounts[slot].value_or(0));
        text += ", \"double\": " + std::to_string(result.doubleCounts[slot]) + '}';
    }
    text += "], \"records\": " + std::to_string(result.recordsRead) +
            ", \"drawn\": " + std::to_string(result.starsDrawn) + "}\n";
    return text;
}
