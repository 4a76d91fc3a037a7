#include "sources/photo/sep_extraction.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <shared_mutex>

#include "sources/photo/star_detector.h"

namespace {

// SEP's own codes.
constexpr int kPixelStackFull = 2;
constexpr int kDeblendOverflow = 7;

// SEP keeps the stack's size in bytes in an int, at 20 bytes a pixel with the filter.
constexpr std::size_t kLargestStack = INT_MAX / 20;

// Held shared by every extraction with the usual settings, alone by one with others.
std::shared_mutex& settingsLock() {
    static std::shared_mutex lock;
    return lock;
}

void set(std::size_t stack, int subObjects) {
    sep_set_extract_pixstack(stack);
    sep_set_sub_object_limit(subObjects);
}

// The usual settings, made once before the first extraction of the process.
void settleUsual() {
    static std::once_flag settled;
    std::call_once(settled, [] { set(SepExtraction::kStack, SepExtraction::kSubObjects); });
}

}  // namespace

bool SepExtraction::fits(int width, int height) {
    return 4LL * width * (height - 1LL) <= INT_MAX;
}

int SepExtraction::once(const sep_image& image, float threshold, const DetectionSettings& settings,
                        sep_catalog** catalog) {
    const float* filter = settings.filter ? StarDetector::kFilter.data() : nullptr;
    const int side = settings.filter ? 5 : 0;
    return sep_extract(&image, threshold, SEP_THRESH_ABS, settings.minArea, filter, side, side,
                       SEP_FILTER_CONV, StarDetector::kDeblendThresholds, settings.deblendContrast,
                       1, StarDetector::kCleanParameter, catalog);
}

bool SepExtraction::grow(int status, std::size_t pixels, Limits& limits) {
    const std::size_t most = std::min(pixels, kLargestStack);
    if (status == kPixelStackFull && limits.stack < most) {
        limits.stack = std::min(most, 4 * limits.stack);
        return true;
    }
    if (status == kDeblendOverflow && limits.subObjects < kMostSubObjects) {
        limits.subObjects *= 4;
        return true;
    }
    return false;
}

int SepExtraction::run(const sep_image& image, float threshold, const DetectionSettings& settings,
                       sep_catalog** catalog) {
    settleUsual();
    const std::size_t pixels =
        static_cast<std::size_t>(image.w) * static_cast<std::size_t>(image.h);
    Limits limits{std::min(pixels, kStack), kSubObjects};
    if (limits.stack == kStack) {
        const std::shared_lock usual(settingsLock());
        const int status = once(image, threshold, settings, catalog);
        if (!grow(status, pixels, limits)) return status;
    }
    const std::unique_lock alone(settingsLock());
    int status = 0;
    do {
        set(limits.stack, limits.subObjects);
        status = once(image, threshold, settings, catalog);
    } while (grow(status, pixels, limits));
    set(kStack, kSubObjects);
    return status;
}
