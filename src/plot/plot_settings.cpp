#include "plot/plot_settings.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "text/locale_number.h"
#include "text/messages.h"
#include "text/parse_number.h"

namespace {

// A side of the plot in pixels, from the width or height text.
std::optional<int> sideOf(const std::string& text, const std::string& separator) {
    const std::optional<float> value = parseLocaleNumber(text, separator);
    if (!value) return std::nullopt;
    const double pixels = std::nearbyint(static_cast<double>(*value));
    if (!(pixels >= 1 && pixels <= PlotSettings::kLargestSide)) return std::nullopt;
    return static_cast<int>(pixels);
}

}  // namespace

Result<PlotSettings> PlotSettings::from(const ControlTexts& texts) {
    PlotSettings settings;
    const std::optional<int> width = sideOf(texts.width, texts.decimalSeparator);
    if (!width) return Fault{Messages::badSide("横", texts.width, kLargestSide), {}};
    const std::optional<int> height = sideOf(texts.height, texts.decimalSeparator);
    if (!height) return Fault{Messages::badSide("縦", texts.height, kLargestSide), {}};
    settings.SensorWidth = *width;
    settings.SensorHeight = *height;
    settings.CentreX = ParseNumber(texts.width) / 2;
    settings.CentreY = ParseNumber(texts.height) / 2;
    settings.SizeScale = ParseNumber(texts.starSize) / 10;
    if (!(settings.SizeScale > 0)) return Fault{Messages::badStarSize(texts.starSize), {}};
    settings.AreaMin = ParseNumber(texts.areaMin);
    settings.AreaMax = ParseNumber(texts.areaMax);
    // Greys outside 0..255 mean nothing; clamp before anything is derived from the level.
    const double level = std::nearbyint(ParseNumber(texts.grey));
    settings.GreyLevel = static_cast<int>(std::clamp(level, 0.0, 255.0));
    settings.SubPixelFactor = texts.subPixel ? (255 - settings.GreyLevel) / 255.0 : 0;
    settings.AutoClear = texts.autoClear;
    return settings;
}
