#pragma once

#include "app/frame_record.h"

// When a frame is rejected: its double-star fraction above a limit, and where chosen its FWHM
// above another. A mark by hand overrides the limits; a frame whose run has not completed is
// never rejected by them.
struct RejectionRule {
    bool byFraction = false;
    double fraction = 0.3;
    bool byFwhm = false;
    double fwhm = 5;

    bool rejects(const FrameRecord& frame) const {
        if (frame.byHand) return *frame.byHand;
        if (!frame.done()) return false;
        const std::optional<double> doubles = frame.doubleFraction();
        if (byFraction && doubles && *doubles > fraction) return true;
        return byFwhm && frame.measures.fwhm && *frame.measures.fwhm > fwhm;
    }
};
