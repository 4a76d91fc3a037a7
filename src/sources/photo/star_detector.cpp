#include "sources/photo/star_detector.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <optional>

#include "sources/photo/detected_star.h"
#include "sources/photo/object_neighbours.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/sep_extraction.h"
#include "sources/photo/sep_objects.h"

namespace {

constexpr int kSteps = 4;  // background, its subtraction, extraction, measuring
// SEP's own codes.
constexpr int kMemoryError = 1;
constexpr int kPixelStackFull = 2;
constexpr int kDeblendOverflow = 7;

std::string sepDetail(int status) {
    char message[128] = {};
    char detail[640] = {};
    sep_get_errmsg(status, message);
    sep_get_errdetail(detail);
    return "SEP: " + std::string(message) + (detail[0] != '\0' ? ": " + std::string(detail) : "");
}

Fault sepFault(int status, const GreyImage& picture, const std::string& path) {
    if (status == kMemoryError) {
        return {PhotoMessages::outOfMemory(path, picture.width, picture.height), sepDetail(status)};
    }
    if (status == kPixelStackFull || status == kDeblendOverflow) {
        return {PhotoMessages::tooCrowded(path), sepDetail(status)};
    }
    return {PhotoMessages::detectionFailed(path), sepDetail(status)};
}

// Subtracts the background row by row, the lower half of the rows on a second core where the
// budget has one.
int subtract(const sep_bkg& background, GreyImage& picture, ThreadBudget* threads) {
    const auto rows = [&](int first, int last) {
        int status = 0;
        for (int row = first; row < last && status == 0; ++row) {
            float* line = picture.pixels.get() + static_cast<std::size_t>(row) * picture.width;
            status = sep_bkg_subline(&background, row, line, SEP_TFLOAT);
        }
        return status;
    };
    const int half = picture.height / 2;
    int second = 0;
    ThreadBudget::Thread lower;
    if (threads != nullptr) lower = threads->start([&] { second = rows(half, picture.height); });
    const int first = rows(0, lower.started() ? half : picture.height);
    lower.join();
    return first != 0 ? first : second;
}

// Every object measured as a star, on this thread and up to three of the budget's: each object
// is measured on its own, from the picture and the catalog alone, and the threads take the
// objects a few at a time until none is left. The stars are numbered 1, 2, ... in the catalog's
// order.
void measure(const sep_catalog& catalog, const GreyImage& picture, const sep_bkg& background,
             std::vector<StarRecord>& stars, ThreadBudget* threads) {
    constexpr int kHelpers = 3;
    constexpr int kTake = 8;
    const ObjectNeighbours neighbours(catalog, picture.width, picture.height);
    std::vector<std::optional<StarRecord>> measured(static_cast<std::size_t>(catalog.nobj));
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int first = next.fetch_add(kTake); first < catalog.nobj;
             first = next.fetch_add(kTake)) {
            for (int i = first; i < std::min(first + kTake, catalog.nobj); ++i) {
                measured[static_cast<std::size_t>(i)] =
                    DetectedStar::of(catalog, i, picture, background, neighbours);
            }
        }
    };
    std::array<ThreadBudget::Thread, kHelpers> helpers;
    if (threads != nullptr && catalog.nobj > kTake) {
        for (ThreadBudget::Thread& helper : helpers) helper = threads->start(work);
    }
    work();
    for (ThreadBudget::Thread& helper : helpers) helper.join();
    stars.clear();
    stars.reserve(measured.size());
    for (std::optional<StarRecord>& star : measured) {
        if (!star) continue;
        star->index = static_cast<double>(stars.size() + 1);
        stars.push_back(*star);
    }
}

}  // namespace

bool StarDetector::proceed(int step) const {
    return monitor_ == nullptr || monitor_->proceed(PhotoMessages::kDetectingStage, step, kSteps);
}

Result<> StarDetector::detect(GreyImage& picture, const std::string& path,
                              std::vector<StarRecord>& stars) const {
    const sep_image image{
        picture.pixels.get(), nullptr,        nullptr, nullptr,        SEP_TFLOAT, 0,  0, 0,
        picture.width,        picture.height, 0.0,     SEP_NOISE_NONE, 1.0,        0.0};
    if (!SepExtraction::fits(picture.width, picture.height)) {
        return Fault{PhotoMessages::tooLarge(path, picture.width, picture.height), {}};
    }
    if (!proceed(0)) return Cancelled{};
    sep_bkg* made = nullptr;
    int status = sep_background(&image, settings_.backgroundSize, settings_.backgroundSize, 3, 3,
                                0.0, &made);
    const SepBackground background(made);
    if (status == 0 && !proceed(1)) return Cancelled{};
    if (status == 0) status = subtract(*background, picture, threads_);
    if (status == 0 && !proceed(2)) return Cancelled{};
    sep_catalog* found = nullptr;
    if (status == 0) {
        const auto threshold = static_cast<float>(settings_.threshold * sep_bkg_globalrms(made));
        status = SepExtraction::run(image, threshold, settings_, &found);
    }
    const SepCatalog catalog(found);
    if (status != 0) return sepFault(status, picture, path);
    if (!proceed(3)) return Cancelled{};
    measure(*catalog, picture, *background, stars, threads_);
    if (stars.empty()) return Fault{PhotoMessages::noStars(path, settings_), {}};
    if (!proceed(kSteps)) return Cancelled{};
    return {};
}
