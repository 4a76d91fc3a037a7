#pragma once

#include <optional>
#include <string>
#include <vector>

#include "doublestar/threshold_table.h"
#include "plot/plot_settings.h"
#include "shape/shape_map.h"
#include "sources/photo/detection_settings.h"

// The files one input's run writes; with several inputs each name is a pattern in which
// "{name}" stands for the input's file name without its extension.
struct OutputNames {
    std::string image;     // -o
    std::string stars;     // --stars
    std::string regions;   // --regions
    std::string saveList;  // --save-list
    std::string map;       // --map: the star-shape map as a PNG picture
    std::string mapJson;   // --map-json: its numbers and reading
};

// What quendra-plot was asked to do: the inputs, the settings every run takes, what each run
// writes, and how the batch reports.
struct PlotJob {
    std::vector<std::string> inputs;  // names in the system's own bytes
    std::string watch;                // --watch: the folder followed instead of inputs
    ControlTexts controls;
    bool widthGiven = false;  // a photograph sets the sensor size unless the options did
    bool heightGiven = false;
    ThresholdTable thresholds;
    std::string thresholdFile;  // read into thresholds before anything runs
    bool orSelected = false;
    std::optional<std::string> angleCorrection;
    DetectionSettings detection;  // for photographs
    OutputNames outputs;
    std::string summary;
    int mapGrid = ShapeMap::kDefaultGrid;  // --map-grid: N × N regions, also for the summary's tilt
    bool json = false;
    bool quiet = false;
    int parallel = 1;  // runs at a time

    // Several inputs, or a folder's worth: one summary row per input.
    bool batch() const { return inputs.size() > 1 || !watch.empty(); }
};
