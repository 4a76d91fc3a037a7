#include "output/star_table.h"

#include "output/star_kind_text.h"
#include "text/number_text.h"

StarTable::StarTable(OutputFile& file) : file_(file) {
    file_.write(kHeader);
}

void StarTable::onStar(const StarRecord& star, const Classification& classification) {
    row_.clear();
    for (const double value : {star.index, star.area}) {
        row_ += numberText(value);
        row_ += ',';
    }
    row_ += classification.areaClass->label;
    row_ += ',';
    row_ += starKindText(classification.kind);
    for (const double value : {star.x, star.y, star.size}) {
        row_ += ',';
        row_ += numberText(value);
    }
    row_ += ',';
    row_ += numberText(star.angle);
    row_ += ',';
    row_ += numberText(star.roundness);
    for (const float value : {classification.radialAngle, classification.angleOffset}) {
        row_ += ',';
        row_ += numberText(value);
    }
    row_ += ',';
    if (star.fwhm > 0) row_ += numberText(star.fwhm);
    row_ += '\n';
    file_.write(row_);
}
