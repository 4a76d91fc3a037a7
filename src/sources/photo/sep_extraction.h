#pragma once

#include <cstddef>

#include "sources/photo/detection_settings.h"
#include "sources/photo/sep_objects.h"

// One SEP extraction of a picture less its background, with the pixel stack and sub-object
// limit it needs. Both are settings of the whole library, read by every extraction while it
// runs, so extractions of several pictures run side by side only with the usual settings (a
// stack of 300,000 pixels, as Source Extractor's, and 1,024 sub-objects). A picture that needs
// others runs alone and puts them back: one smaller than the stack (whose stack is its own
// pixels, as it always was), or one whose bright regions or blends overflow them; such a
// picture is tried again with four times the stack (at most a pixel for every pixel) or four
// times the sub-objects (at most 16,384).
class SepExtraction {
public:
    static constexpr std::size_t kStack = 300000;
    static constexpr int kSubObjects = 1024;
    static constexpr int kMostSubObjects = 16384;

    // SEP's status, the objects into *catalog.
    static int run(const sep_image& image, float threshold, const DetectionSettings& settings,
                   sep_catalog** catalog);

    // Whether SEP can scan a picture of this size at all: it finds a row's place as an int of
    // bytes, which overflows once 4 × width × (height − 1) passes 2^31 − 1.
    static bool fits(int width, int height);

private:
    struct Limits {
        std::size_t stack;
        int subObjects;
    };
    static int once(const sep_image& image, float threshold, const DetectionSettings& settings,
                    sep_catalog** catalog);
    // The next limits after a failed try, or false when the status is final.
    static bool grow(int status, std::size_t pixels, Limits& limits);
};
