#pragma once

#include <array>
#include <string>
#include <vector>

#include "plot/run_monitor.h"
#include "plot/star_record.h"
#include "sources/photo/detection_settings.h"
#include "sources/photo/grey_image.h"
#include "system/thread_budget.h"
#include "text/result.h"

// Finds the stars of a picture with SEP as Source Extractor does: the background on a mesh of
// backgroundSize pixels with a 3 x 3 median filter; threshold times the global background RMS
// on the picture convolved with a 5 x 5 Gaussian of FWHM 2 pixels (or not convolved); at least
// minArea pixels; 32 deblending thresholds with the minimum contrast; cleaning with parameter 1.
// The rows are scanned upward, as Source Extractor scans a FITS file. Each object becomes a star
// (see DetectedStar), numbered 1, 2, ... in SEP's order.
class StarDetector {
public:
    // Source Extractor's gauss_2.0_5x5.conv, normalised by SEP.
    static constexpr std::array<float, 25> kFilter{
        0.006319F, 0.040599F, 0.075183F, 0.040599F, 0.006319F,  //
        0.040599F, 0.260856F, 0.483068F, 0.260856F, 0.040599F,  //
        0.075183F, 0.483068F, 0.894573F, 0.483068F, 0.075183F,  //
        0.040599F, 0.260856F, 0.483068F, 0.260856F, 0.040599F,  //
        0.006319F, 0.040599F, 0.075183F, 0.040599F, 0.006319F};
    static constexpr int kDeblendThresholds = 32;
    static constexpr double kCleanParameter = 1.0;

    // threads: where the background's subtraction takes a second core; none: on this thread.
    StarDetector(const DetectionSettings& settings, RunMonitor* monitor,
                 ThreadBudget* threads = nullptr)
        : settings_(settings), monitor_(monitor), threads_(threads) {}

    // The stars of the picture, whose pixels it leaves less their background. A picture
    // without a star is a fault; the messages name path.
    Result<> detect(GreyImage& picture, const std::string& path,
                    std::vector<StarRecord>& stars) const;

private:
    bool proceed(int step) const;

    DetectionSettings settings_;
    RunMonitor* monitor_;
    ThreadBudget* threads_;
};
