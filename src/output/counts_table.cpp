#include "output/counts_table.h"

std::string CountsTable::text(const RunResult& result) {
    std::string text = "星の面積\t単星数\t重星数\n";
    for (const AreaClass& c : AreaClass::all()) {
        const auto row = static_cast<std::size_t>(c.index);
        text += c.label;
        text += '\t';
        text += result.countTexts.single[row];
        text += '\t';
        text += result.countTexts.doubles[row];
        text += '\n';
    }
    return text;
}
