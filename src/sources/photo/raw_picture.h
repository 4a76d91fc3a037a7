#pragma once

#include <optional>
#include <string>

#include "plot/frame_facts.h"
#include "plot/run_monitor.h"
#include "sources/photo/grey_image.h"
#include "system/thread_budget.h"
#include "text/result.h"

// Camera raw files (CR2, CR3, NEF, ARW, RAF, ORF, RW2, PEF, DNG and the others LibRaw reads) as
// one grey picture that keeps the sensor's geometry and linearity: the raw's visible area in
// sensor pixels, in the sensor's own orientation (the camera's rotation flag is ignored), the
// black levels subtracted (per colour and per position where the file gives them), no white
// balance, no gamma, no brightening. A colour filter array becomes one grey value per pixel by
// CfaGrey's rule; a sensor with every colour at every pixel (Foveon, linear DNG) by the mean of
// its colours; a monochrome sensor as it is. Rows run upward, the bottom row first, as every
// picture is kept. The saturation is the white level less the highest black level, less half a
// count. Where the budget has threads, the picture's pages are faulted in on one while LibRaw
// decodes, and the grey picture is made on two.
class RawPicture {
public:
    // True when LibRaw recognises the file and it holds a raw image.
    static bool canRead(const std::string& path);
    // The picture into image; a fault's message names the file; cancelled when the monitor said
    // stop. facts: the camera, exposure, ISO and time the file gives.
    static Result<> read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                         ThreadBudget* threads = nullptr, FrameFacts* facts = nullptr);
    // The width and height read would give, from the file's header.
    static std::optional<PictureSize> size(const std::string& path);
};
