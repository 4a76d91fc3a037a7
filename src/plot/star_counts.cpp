#include "plot/star_counts.h"

#include "text/number_text.h"

CountTexts CountTexts::of(const SingleCounts& single, const DoubleCounts& doubles) {
    CountTexts texts;
    for (std::size_t k = 1; k <= AreaClass::kCount; ++k) {
        texts.single[k - 1] = single[k] ? numberText(*single[k]) : std::string();
        texts.doubles[k - 1] = numberText(doubles[k]);
    }
    return texts;
}
