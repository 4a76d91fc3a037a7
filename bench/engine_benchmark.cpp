// The stages of a plotting run, one by one: number parsing, reading a list, classifying,
// drawing, writing the bitmap; then a whole run on a 100,000-star list, reading ahead and
// inline, beside the parse-only floor of the same list. `make bench` runs it after measuring
// the whole program.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "doublestar/lens_preset.h"
#include "parse_floor.h"
#include "plot/classifier.h"
#include "plot/plotting_run.h"
#include "plot/star_renderer.h"
#include "raster/raster_surface.h"
#include "sources/lists/star_list.h"
#include "star_list_generator.h"
#include "text/number_syntax.h"

#ifdef QUENDRA_BENCH_IMAGE_FILE
#include <QString>

#include "platform/image_file.h"
#endif

namespace {

constexpr std::int64_t kStars = 100000;
constexpr int kWidth = 3902;
constexpr int kHeight = 2596;

// A generated list on disk, made once for every benchmark that reads it.
const std::string& listFile() {
    static const std::string path = [] {
        std::string name = "/tmp/quendra-bench-" + std::to_string(kStars) + ".txt";
        StarListGenerator::Options options;
        options.stars = kStars;
        std::ofstream out(name, std::ios::binary);
        StarListGenerator(options).write(out);
        return name;
    }();
    return path;
}

// The same stars, read once into memory, for the stages after reading.
const std::vector<StarRecord>& stars() {
    static const std::vector<StarRecord> records = [] {
        std::vector<StarRecord> all;
        StarList list;
        list.open(listFile());
        StarRecord record;
        while (list.next(record) == StarSource::Status::Record) all.push_back(record);
        return all;
    }();
    return records;
}

// The items of the list's records as texts, for the number parsing stage.
std::vector<std::string> someItems() {
    std::vector<std::string> items;
    StarListGenerator generator({});
    for (int i = 1; i <= 1000; ++i) {
        const std::string line = generator.record(i);
        std::size_t from = 0;
        for (std::size_t comma = line.find(','); comma != std::string::npos;
             from = comma + 1, comma = line.find(',', from)) {
            items.push_back(line.substr(from, comma - from));
        }
        items.push_back(line.substr(from));
    }
    return items;
}

void BM_FromChars(benchmark::State& state) {
    const std::vector<std::string> items = someItems();
    for (auto _ : state) {
        for (const std::string& item : items) {
            double value = 0;
            std::from_chars(item.data(), item.data() + item.size(), value);
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(items.size()));
}
BENCHMARK(BM_FromChars);

void BM_NumberSyntax(benchmark::State& state) {
    const std::vector<std::string> items = someItems();
    for (auto _ : state) {
        for (const std::string& item : items) {
            double value = 0;
            benchmark::DoNotOptimize(NumberSyntax::convert(item, value));
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(items.size()));
}
BENCHMARK(BM_NumberSyntax);

// The least any reader of the list must do, for the runs' ratios below.
void BM_ParseFloor(benchmark::State& state) {
    const std::string& path = listFile();
    for (auto _ : state) {
        double sum = 0;
        benchmark::DoNotOptimize(parseFloor(path.c_str(), sum));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kStars);
}
BENCHMARK(BM_ParseFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadList(benchmark::State& state) {
    const std::string& path = listFile();
    for (auto _ : state) {
        StarList list;
        list.open(path);
        StarRecord record;
        std::int64_t n = 0;
        while (list.next(record) == StarSource::Status::Record) ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * kStars);
}
BENCHMARK(BM_ReadList)->Unit(benchmark::kMillisecond);

void BM_Classify(benchmark::State& state) {
    const std::vector<StarRecord>& all = stars();
    for (auto _ : state) {
        Classifier classifier(DoubleStarLimits::from(LensPreset::initial()), 3902 / 2.0,
                              2596 / 2.0);
        for (const StarRecord& star : all) benchmark::DoNotOptimize(classifier.classify(star));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(all.size()));
}
BENCHMARK(BM_Classify)->Unit(benchmark::kMillisecond);

// Drawing alone: the classifications are made beforehand.
// Classifies the stars once, then draws them all on each iteration.
void drawStars(benchmark::State& state, const std::vector<StarRecord>& list) {
    Classifier classifier(DoubleStarLimits::from(LensPreset::initial()), 3902 / 2.0, 2596 / 2.0);
    std::vector<Classification> kinds;
    kinds.reserve(list.size());
    for (const StarRecord& star : list) kinds.push_back(classifier.classify(star));
    RasterSurface raster(kWidth, kHeight);
    StarRenderer renderer(raster, StarRenderer::Settings{});
    for (auto _ : state) {
        for (std::size_t i = 0; i < list.size(); ++i) renderer.draw(list[i], kinds[i]);
    }
    benchmark::DoNotOptimize(raster.pixels());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(list.size()));
}

void BM_Draw(benchmark::State& state) {
    drawStars(state, stars());
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond);

// A whole run, reading on a thread of its own while the drawing goes on.
void BM_Run(benchmark::State& state) {
    PlotRequest request;
    request.thresholds = LensPreset::initial();
    request.starFile = listFile();
    RasterSurface raster;
    ThreadBudget threads(1);
    for (auto _ : state) {
        const RunResult result =
            runPlot(request, StarList::openSource, raster, {.threads = &threads});
        if (!result.done()) state.SkipWithError(result.fault().message.c_str());
    }
    state.SetItemsProcessed(state.iterations() * kStars);
}
BENCHMARK(BM_Run)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same run when no second thread is to be had: everything on the calling thread.
void BM_RunInline(benchmark::State& state) {
    PlotRequest request;
    request.thresholds = LensPreset::initial();
    request.starFile = listFile();
    RasterSurface raster;
    for (auto _ : state) {
        const RunResult result = runPlot(request, StarList::openSource, raster);
        if (!result.done()) state.SkipWithError(result.fault().message.c_str());
    }
    state.SetItemsProcessed(state.iterations() * kStars);
}
BENCHMARK(BM_RunInline)->Unit(benchmark::kMillisecond)->UseRealTime();

// The worst case: stars so large that each covers the whole plot.
void BM_DrawGiantStars(benchmark::State& state) {
    std::vector<StarRecord> giants(stars().begin(), stars().begin() + 100);
    for (StarRecord& star : giants) star.size = 1e6;
    drawStars(state, giants);
}
BENCHMARK(BM_DrawGiantStars)->Unit(benchmark::kMillisecond);

#ifdef QUENDRA_BENCH_IMAGE_FILE
void BM_WriteBitmap(benchmark::State& state) {
    RasterSurface raster(kWidth, kHeight);
    StarRenderer renderer(raster, StarRenderer::Settings{});
    Classifier classifier(DoubleStarLimits::from(LensPreset::initial()), 3902 / 2.0, 2596 / 2.0);
    for (const StarRecord& star : stars()) renderer.draw(star, classifier.classify(star));
    const QString path = QStringLiteral("/tmp/quendra-bench-plot.bmp");
    for (auto _ : state) {
        if (!ImageFile::save(raster, path).isEmpty()) state.SkipWithError("cannot write");
    }
    std::remove("/tmp/quendra-bench-plot.bmp");
}
BENCHMARK(BM_WriteBitmap)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
