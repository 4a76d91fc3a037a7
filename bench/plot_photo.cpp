// plot-photo: one plotting run from a photograph (or a catalog, or a star list) to the counts and
// the plot in memory, as "描画" does with the detection defaults and the picture's size; prints
// the stars read and the counts; with --stages each stage's wall time on standard error, with
// --list the stars read as a star list (every number in its shortest round-trip form).
//   plot-photo [--stages] [--list LIST] FILE
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "doublestar/lens_preset.h"
#include "plot/plotting_run.h"
#include "raster/raster_surface.h"
#include "sources/star_sources.h"

namespace {

using Clock = std::chrono::steady_clock;

// Prints when each stage begins, in seconds since the start.
class StageClock : public RunMonitor {
public:
    bool proceed(std::string_view stage, std::int64_t done, std::int64_t total) override {
        // Every step of the detection, the other stages once.
        const bool step = stage == "星を検出しています";
        if (stage != last_ || (step && done != lastDone_)) {
            const std::chrono::duration<double> since = Clock::now() - start_;
            std::fprintf(stderr, "%8.3f s  %.*s", since.count(), static_cast<int>(stage.size()),
                         stage.data());
            if (step)
                std::fprintf(stderr, " %lld/%lld", static_cast<long long>(done),
                             static_cast<long long>(total));
            std::fprintf(stderr, "\n");
            last_ = stage;
            lastDone_ = done;
        }
        return true;
    }

private:
    Clock::time_point start_ = Clock::now();
    std::string last_;
    std::int64_t lastDone_ = -1;
};

// Keeps every star read.
class StarKeeper : public StarObserver {
public:
    void onStar(const StarRecord& star, const Classification&) override { stars.push_back(star); }
    std::vector<StarRecord> stars;
};

std::string shortest(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return {text.data(), end};
}

bool writeList(const std::string& path, const std::vector<StarRecord>& stars) {
    std::ofstream out(path, std::ios::binary);
    out << stars.size() << "\r\n";
    for (const StarRecord& s : stars) {
        const std::array<double, 12> items{s.index, s.area, s.x,       s.y,
                                           s.left,  s.top,  s.extent1, s.extent2,
                                           s.span,  s.size, s.angle,   s.roundness};
        for (std::size_t i = 0; i < items.size(); ++i) {
            out << (i == 0 ? "" : ",") << shortest(items[i]);
        }
        out << "\r\n";
    }
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    bool stages = false;
    std::string list;
    int at = 1;
    for (; at < argc - 1; ++at) {
        const std::string_view option = argv[at];
        if (option == "--stages") {
            stages = true;
        } else if (option == "--list" && at + 1 < argc - 1) {
            list = argv[++at];
        } else {
            break;
        }
    }
    if (at != argc - 1) {
        std::cerr << "usage: plot-photo [--stages] [--list LIST] FILE\n";
        return 2;
    }
    const std::string path = argv[argc - 1];
    PlotRequest request;
    request.starFile = path;
    request.thresholds = LensPreset::wideAngle();
    // The list holds every star, whatever its area.
    if (!list.empty()) request.controls.areaMax = "1e300";
    if (const std::optional<PictureSize> size = StarSources::pictureSize(path)) {
        request.controls.width = std::to_string(size->width);
        request.controls.height = std::to_string(size->height);
    }
    StageClock clock;
    ThreadBudget threads(ThreadBudget::cores());
    RunHooks hooks;
    hooks.threads = &threads;
    if (stages) hooks.monitor = &clock;
    StarKeeper keeper;
    StarObserver* const observers[] = {&keeper};
    if (!list.empty()) hooks.observers = observers;
    RasterSurface surface;
    const RunResult result = runPlot(request, StarSources::opener(), surface, hooks);
    if (stages) clock.proceed("end", 0, 0);
    if (!result.done()) {
        std::cerr << result.fault().message << '\n' << result.fault().detail << '\n';
        return 1;
    }
    if (!list.empty() && !writeList(list, keeper.stars)) {
        std::cerr << "plot-photo: cannot write " << list << '\n';
        return 1;
    }
    std::cout << "stars " << result.recordsRead << " drawn " << result.starsDrawn << '\n';
    for (std::size_t k = 0; k < result.countTexts.single.size(); ++k) {
        std::cout << result.countTexts.single[k] << '\t' << result.countTexts.doubles[k] << '\n';
    }
    return 0;
}
