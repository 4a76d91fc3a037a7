#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "doublestar/lens_preset.h"
#include "plot/plotting_run.h"

// quendra-plot: one plotting run without a window, with the controls' texts set by options.
class HeadlessPlotter {
public:
    static constexpr int kCompleted = 0;
    static constexpr int kStopped = 1;
    static constexpr int kUsage = 2;

    // decimalSeparator is the user's, as the window would use it for the sensor size.
    int run(const std::vector<std::string>& args, const std::string& decimalSeparator,
            std::ostream& out, std::ostream& err);

    static const char* usage();

private:
    bool parse(const std::vector<std::string>& args, std::ostream& err);
    bool applyCamera(const std::string& camera, const std::string& width, const std::string& height,
                     std::ostream& err);
    bool applyPreset(const std::string& preset, std::ostream& err);
    bool applyThresholdFile(std::ostream& err);
    void printCounts(const RunResult& result, std::ostream& out) const;
    void printJson(const RunResult& result, std::ostream& out) const;

    ControlTexts controls_;
    std::string starFile_;
    ThresholdTable thresholds_ = LensPreset::initial();
    std::string thresholdFile_;
    std::string imageFile_;
    std::string starsFile_;
    std::optional<std::string> angleCorrection_;
    bool or_ = false;
    bool json_ = false;
    bool help_ = false;
};
