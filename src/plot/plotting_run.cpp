#include "plot/plotting_run.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "text/locale_number.h"
#include "text/parse_number.h"
#include "plot/star_feed.h"
#include "plot/star_list.h"
#include "plot/star_renderer.h"

namespace {

RunResult stopped(std::string message, std::string detail = {}) {
    RunResult result;
    result.message = std::move(message);
    result.detail = std::move(detail);
    return result;
}

// A side of the plot in pixels, from the width or height text.
std::optional<int> sideOf(const std::string& text, const std::string& separator) {
    const std::optional<float> value = parseLocaleNumber(text, separator);
    if (!value) return std::nullopt;
    const double pixels = std::nearbyint(static_cast<double>(*value));
    if (!(pixels >= 1 && pixels <= PlottingRun::kLargestSide)) return std::nullopt;
    return static_cast<int>(pixels);
}

std::string sideFault(const char* name, const std::string& text) {
    return std::string(name) + "「" + text + "」は 1 から " +
           std::to_string(PlottingRun::kLargestSide) + " までのピクセル数ではありません。";
}

StarRenderer::Settings renderSettings(const PlotControls& controls) {
    StarRenderer::Settings settings;
    settings.sizeScale = ParseNumber(controls.text3) / 10;
    // Greys outside 0..255 mean nothing; clamp before anything is derived from the level.
    const double level = std::nearbyint(ParseNumber(controls.text9));
    settings.grey = static_cast<int>(std::clamp(level, 0.0, 255.0));
    settings.subPixelFactor = controls.check1 ? (255 - settings.grey) / 255.0 : 0;
    return settings;
}

// Draws every star of the feed in list order; returns how many.
std::int64_t drawAll(StarFeed& feed, StarRenderer& renderer, DrawingSurface& surface,
                     StarObserver* observer) {
    std::int64_t drawn = 0;
    while (const StarFeed::Batch* batch = feed.next()) {
        for (std::size_t k = 0; k < batch->stars().size(); ++k) {
            batch->draw(k, renderer, surface);
            ++drawn;
            const StarFeed::Star& star = batch->stars()[k];
            if (observer != nullptr) observer->onStar(star.record, star.classification);
        }
    }
    return drawn;
}

// The result of a run that drew every star the feed gave: complete with the counts, or stopped
// where the reading stopped (what was drawn stays, nothing is counted).
RunResult ended(const StarFeed::Ending& ending, const Classifier& classifier) {
    RunResult result;
    if (ending.kind == StarFeed::Ending::Kind::Fault) {
        result = stopped(ending.fault);
    } else if (ending.kind == StarFeed::Ending::Kind::Mismatch) {
        const std::string n = std::to_string(ending.record);
        result = stopped(PlottingRun::kRecordMismatch,
                         "レコード " + n + "（" + std::to_string(ending.line) + " 行目）の番号が " +
                             n + " ではありません。");
    } else {
        result.completed = true;
        result.singleCounts = classifier.singleCounts();
        result.doubleCounts = classifier.doubleCounts();
        result.countTexts = CountTexts::of(result.singleCounts, result.doubleCounts);
    }
    result.recordsRead = ending.recordsRead;
    return result;
}

}  // namespace

PlottingRun::PlottingRun(PlotControls controls, ThresholdTable thresholds)
    : controls_(std::move(controls)), thresholds_(std::move(thresholds)) {}

RunResult PlottingRun::run(DrawingSurface& surface, StarObserver* observer) const {
    const std::optional<int> width = sideOf(controls_.text1, controls_.decimalSeparator);
    if (!width) return stopped(sideFault("横", controls_.text1));
    const std::optional<int> height = sideOf(controls_.text2, controls_.decimalSeparator);
    if (!height) return stopped(sideFault("縦", controls_.text2));
    const StarRenderer::Settings settings = renderSettings(controls_);
    if (!(settings.sizeScale > 0)) {
        return stopped("星の大きさ「" + controls_.text3 + "」は 0 より大きい数にしてください。");
    }
    if (controls_.starFile.empty()) {
        return stopped("星のリストが選ばれていません。「解析データ」で選んでください。");
    }

    StarList list;
    if (!list.open(controls_.starFile)) return stopped(list.fault());
    const double areaMin = ParseNumber(controls_.text7);
    const double areaMax = ParseNumber(controls_.text8);
    Classifier classifier(thresholds_, controls_.text1, controls_.text2);
    // The reading starts at once and runs on while the plot is made ready.
    StarFeed feed(list, classifier, settings, areaMin, areaMax);
    if (!surface.resize(*width, *height)) {
        return stopped("プロットの画像（" + std::to_string(*width) + " × " +
                       std::to_string(*height) + " ピクセル）を作るメモリが足りません。");
    }
    if (controls_.check2) surface.clear();
    surface.setFillGrey(static_cast<std::uint8_t>(settings.grey));

    StarRenderer renderer(surface, settings);
    const std::int64_t drawn = drawAll(feed, renderer, surface, observer);
    RunResult result = ended(feed.ending(), classifier);
    if (result.completed) result.starsDrawn = drawn;
    return result;
}
