#include "plot/plotting_run.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "plot/locale_number.h"
#include "plot/parse_number.h"
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
    if (!surface.resize(*width, *height)) {
        return stopped("プロットの画像（" + std::to_string(*width) + " × " +
                       std::to_string(*height) + " ピクセル）を作るメモリが足りません。");
    }
    if (controls_.check2) surface.clear();
    const double areaMin = ParseNumber(controls_.text7);
    const double areaMax = ParseNumber(controls_.text8);
    surface.setFillGrey(static_cast<std::uint8_t>(settings.grey));

    Classifier classifier(thresholds_, controls_.text1, controls_.text2);
    StarRenderer renderer(surface, settings);
    RunResult result;
    StarRecord star;
    for (std::int64_t n = 1;; ++n) {
        const StarList::Status status = list.next(star);
        if (status == StarList::Status::End) break;
        if (status == StarList::Status::Fault) {
            result = stopped(list.fault());
            result.recordsRead = list.recordsRead();
            return result;
        }
        if (star.index != static_cast<double>(n)) {
            result = stopped(kRecordMismatch,
                             "レコード " + std::to_string(n) + "（" + std::to_string(list.line()) +
                                 " 行目）の番号が " + std::to_string(n) + " ではありません。");
            result.recordsRead = list.recordsRead();
            return result;
        }
        // A negative area (only possible with a negative lower bound) belongs to no class.
        if (!(areaMin <= star.area && star.area < areaMax) || star.area < 0) continue;
        const Classification classification = classifier.classify(star);
        renderer.draw(star, classification);
        ++result.starsDrawn;
        if (observer != nullptr) observer->onStar(star, classification);
    }
    result.completed = true;
    result.recordsRead = list.recordsRead();
    result.singleCounts = classifier.singleCounts();
    result.doubleCounts = classifier.doubleCounts();
    result.countTexts = CountTexts::of(result.singleCounts, result.doubleCounts);
    return result;
}
