#pragma once

#include <optional>
#include <string>

#include "plot/camera_preset.h"
#include "text/result.h"

// The main window's settings as its controls hold them, texts and states; the plotter's options
// fill the same fields. The start values are the window's start texts.
struct ControlTexts {
    std::string width = std::to_string(CameraPreset::defaultCamera().width);    // 横
    std::string height = std::to_string(CameraPreset::defaultCamera().height);  // 縦
    std::string starSize = "30";         // 星の大きさ, ten times the radius divisor
    std::string areaMin = "0";           // lowest area plotted (inclusive)
    std::string areaMax = "10000";       // area limit (exclusive)
    std::string grey = "0";              // 星の濃度
    bool subPixel = true;                // サブピクセル処理
    bool autoClear = true;               // オートクリア
    std::string decimalSeparator = ".";  // the user's, for the sensor size
};

// The values one run takes from the settings, converted once at its start.
struct PlotSettings {
    // The plot's size in pixels, by the strict conversion with the user's decimal separator.
    int SensorWidth = 0;
    int SensorHeight = 0;
    // The same texts by the lenient number conversion, halved: the centre the radial direction
    // is measured from. The two readings differ for texts such as "3902.7" or "12abc".
    double CentreX = 0;
    double CentreY = 0;
    double SizeScale = 3;  // divisor of the drawn radius; more than 0
    double AreaMin = 0;
    double AreaMax = 10000;
    int GreyLevel = 0;  // 0..255; other texts are refused
    double SubPixelFactor = 1;
    bool AutoClear = true;

    static constexpr int kLargestSide = 32767;
    // The bar's left end. A smaller star size text (ten times SizeScale) still plots, but its
    // stars grow past their neighbours and can black out the plot: the user is warned.
    static constexpr double kSmallestStarSize = 1;

    // A side of the plot in pixels from the width or height text, by the strict conversion with
    // the user's decimal separator; nothing when it is no whole number of 1 to kLargestSide.
    static std::optional<int> side(const std::string& text, const std::string& separator);
    // Whether a star size text plots but draws its stars larger than the bar's left end can.
    static bool oversizedStars(const std::string& starSize);
    // The settings of the texts, or the fault of the first text that cannot be used.
    static Result<PlotSettings> from(const ControlTexts& texts);
};
