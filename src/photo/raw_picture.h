#pragma once

#include <optional>
#include <string>

#include "photo/grey_image.h"
#include "plot/frame_facts.h"
#include "plot/run_monitor.h"
#include "text/fault.h"

// Camera raw files (CR2, CR3, NEF, ARW, RAF, ORF, RW2, PEF, DNG and the others LibRaw reads) as
// one grey picture that keeps the sensor's geometry and linearity: the raw's visible area in
// sensor pixels, in the sensor's own orientation (the camera's rotation flag is ignored), the
// black levels subtracted (per colour and per position where the file gives them), no white
// balance, no gamma, no brightening. A colour filter array becomes one grey value per pixel by
// CfaGrey's rule; a sensor with every colour at every pixel (Foveon, linear DNG) by the mean of
// its colours; a monochrome sensor as it is. Rows run downward. The saturation is the white
// level less the highest black level, less half a count.
class RawPicture {
public:
    // True when LibRaw recognises the file and it holds a raw image.
    static bool canRead(const std::string& path);
    // Fault: the message names the file; Cancelled: the monitor said stop. facts: the camera,
    // exposure, ISO and time the file gives.
    static Outcome read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                        Fault& fault, FrameFacts* facts = nullptr);
    // The width and height read would give, from the file's header.
    static std::optional<PictureSize> size(const std::string& path);
};
