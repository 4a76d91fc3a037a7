// plot-photo: one plotting run from a photograph (or a catalog, or a star list) to the counts and
// the plot in memory, as "描画" does with the detection defaults and the picture's size; prints
// the stars read and the counts, and with --stages each stage's wall time on standard error.
//   plot-photo [--stages] FILE
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

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

}  // namespace

int main(int argc, char** argv) {
    const bool stages = argc == 3 && std::string_view(argv[1]) == "--stages";
    if (argc != 2 && !stages) {
        std::cerr << "usage: plot-photo [--stages] FILE\n";
        return 2;
    }
    const std::string path = argv[argc - 1];
    PlotRequest request;
    request.starFile = path;
    request.thresholds = LensPreset::wideAngle();
    if (const std::optional<PictureSize> size = StarSources::pictureSize(path)) {
        request.controls.width = std::to_string(size->width);
        request.controls.height = std::to_string(size->height);
    }
    StageClock clock;
    RunHooks hooks;
    if (stages) hooks.monitor = &clock;
    RasterSurface surface;
    const RunResult result = runPlot(request, StarSources::opener(), surface, hooks);
    if (stages) clock.proceed("end", 0, 0);
    if (!result.completed) {
        std::cerr << result.message << '\n' << result.detail << '\n';
        return 1;
    }
    std::cout << "stars " << result.recordsRead << " drawn " << result.starsDrawn << '\n';
    for (std::size_t k = 0; k < result.countTexts.single.size(); ++k) {
        std::cout << result.countTexts.single[k] << '\t' << result.countTexts.doubles[k] << '\n';
    }
    return 0;
}
