#pragma once

#include <cstdint>
#include <string>

#include "doublestar/threshold_table.h"
#include "plot/drawing_surface.h"
#include "plot/classifier.h"
#include "plot/star_counts.h"
#include "plot/star_record.h"

// The main window's settings as a run reads them: the texts and states of its controls.
struct PlotControls {
    std::string text1 = "3902";   // sensor width
    std::string text2 = "2596";   // sensor height
    std::string text3 = "30";     // star size, ten times the radius divisor
    std::string text7 = "0";      // lowest area plotted (inclusive)
    std::string text8 = "10000";  // area limit (exclusive)
    std::string text9 = "0";      // grey level of the stars
    bool check1 = true;           // sub-pixel shading
    bool check2 = true;           // clear the plot before drawing
    std::string starFile;
    std::string decimalSeparator = ".";  // the user's locale, for the sensor size
};

// Told of every star that is drawn, in drawing order.
class StarObserver {
public:
    virtual ~StarObserver() = default;
    virtual void onStar(const StarRecord& star, const Classification& classification) = 0;
};

struct RunResult {
    bool completed = false;
    std::string message;  // for the message box when the run stopped
    std::string detail;   // where it stopped, for a log or a terminal
    SingleCounts singleCounts{};
    DoubleCounts doubleCounts{};
    CountTexts countTexts;
    std::int64_t recordsRead = 0;
    std::int64_t starsDrawn = 0;
};

// One press of "描画": sizes the plot to the sensor, reads the star list record by record,
// classifies and draws every star in the area range, and counts them per area class.
// A run that stops keeps what it has drawn and reports no counts; a setting or a file that is
// unusable stops it before the plot is touched.
class PlottingRun {
public:
    static constexpr int kLargestSide = 32767;
    static constexpr const char* kRecordMismatch = "データ構造が違います";

    PlottingRun(PlotControls controls, ThresholdTable thresholds);

    RunResult run(DrawingSurface& surface, StarObserver* observer = nullptr) const;

private:
    PlotControls controls_;
    ThresholdTable thresholds_;
};
