#include "plot/star_preparation.h"

StarPreparation::StarPreparation(const PlotSettings& settings, const DoubleStarLimits& limits)
    : settings_(settings),
      classifier_(limits, settings.CentreX, settings.CentreY),
      layout_({settings.SizeScale, settings.GreyLevel, settings.SubPixelFactor}) {}

std::size_t StarPreparation::prepare(StarFeed::Batch& batch) {
    for (std::size_t k = 0; k < batch.size(); ++k) {
        const StarRecord& record = batch[k].record;
        if (record.index != static_cast<double>(expected_)) {
            mismatched_ = true;
            mismatchLine_ = batch[k].line;
            return k;
        }
        ++expected_;
        PreparedStar& star = batch[k].prepared;
        const double area = record.area;
        // A negative area (only possible with a negative lower bound) belongs to no class.
        star.shown = settings_.AreaMin <= area && area < settings_.AreaMax && !(area < 0);
        if (!star.shown) continue;
        star.classification = classifier_.classify(record);
        layout_.layOut(record, star.classification, star.figure);
    }
    return batch.size();
}
