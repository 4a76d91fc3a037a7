#pragma once

#include "doublestar/lens_preset.h"
#include "doublestar/threshold_table.h"
#include "plot/plot_settings.h"
#include "shape/shape_map.h"

// The settings of both windows that a user changes and the program remembers between sessions.
// Made as it is, it holds the design defaults: what the very first start shows and what
// "初期設定に戻す" returns to. The camera is not kept apart: the buttons follow 横 and 縦.
struct WindowSettings {
    ControlTexts controls;  // 横, 縦, 星の大きさ, the area range, 星の濃度, the two check boxes
    int starSizeBar = 30;  // HScroll1, which may differ from the text typed beside it
    int greyBar = 0;       // HScroll2
    ThresholdTable thresholds = LensPreset::initial();
    bool night = false;
    int shapeMapGrid = ShapeMap::kDefaultGrid;  // "星像マップ"'s "領域の分割", N × N
};
