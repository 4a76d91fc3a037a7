#include "plot/plot_settings.h"

#include <cmath>
#include <optional>

#include "text/locale_number.h"
#include "text/messages.h"
#include "text/parse_number.h"

std::optional<int> PlotSettings::side(const std::string& text, const std::string& separator) {
    const std::optional<float> value = parseLocaleNumber(text, separator);
    if (!value) return std::nullopt;
    const double pixels = std::nearbyint(static_cast<double>(*value));
    if (!(pixels >= 1 && pixels <= PlotSettings::kLargestSide)) return std::nullopt;
    return static_cast<int>(pixels);
}

bool PlotSettings::oversizedStars(const std::string& starSize) {
    const double size = ParseNumber(starSize);
    return size > 0 && size < kSmallestStarSize;
}

Result<PlotSettings> PlotSettings::from(const ControlTexts& texts) {
    PlotSettings settings;
    const std::optional<int> width = side(texts.width, texts.decimalSeparator);
    if (!width) return Fault{Messages::badSide("横", texts.width, kLargestSide), {}};
    const std::optional<int> height = side(texts.height, texts.decimalSeparator);
    if (!height) return Fault{Messages::badSide("縦", texts.height, kLargestSide), {}};
    settings.SensorWidth = *width;
    settings.SensorHeight = *height;
    settings.CentreX = ParseNumber(texts.width) / 2;
    settings.CentreY = ParseNumber(texts.height) / 2;
    settings.SizeScale = ParseNumber(texts.starSize) / 10;
    if (!(settings.SizeScale > 0)) return Fault{Messages::badStarSize(texts.starSize), {}};
    settings.AreaMin = ParseNumber(texts.areaMin);
    settings.AreaMax = ParseNumber(texts.areaMax);
    // A grey is 0 to 255, as the bar gives it; anything else would draw in a grey it does not
    // name (300 drew white stars on the white plot).
    const double level = std::nearbyint(ParseNumber(texts.grey));
    if (!(level >= 0 && level <= 255)) return Fault{Messages::badGrey(texts.grey), {}};
    settings.GreyLevel = static_cast<int>(level);
    settings.SubPixelFactor = texts.subPixel ? (255 - settings.GreyLevel) / 255.0 : 0;
    settings.AutoClear = texts.autoClear;
    return settings;
}
