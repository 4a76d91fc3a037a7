#include "cli/job_runner.h"

#include <optional>
#include <vector>

#include "cli/map_image.h"
#include "cli/plot_image.h"
#include "output/fwhm_median.h"
#include "output/region_file.h"
#include "output/shape_map_json.h"
#include "output/star_list_writer.h"
#include "output/star_table.h"
#include "plot/plotting_run.h"
#include "shape/shape_collector.h"
#include "sources/star_sources.h"

namespace {

// The outputs of one run besides the plot, opened before it and put in place after it.
struct RunOutputs {
    std::optional<OutputFile> starFile;
    std::optional<StarTable> starTable;
    std::optional<OutputFile> regionFile;
    std::optional<RegionFile> regions;
    std::optional<FwhmMedian> fwhm;  // only where a summary shows it
    // Only where a map or the summary needs them: a plain run keeps nothing of its stars.
    std::optional<ShapeCollector> shapes;
    std::vector<StarObserver*> observers;

    Result<> open(const OutputNames& names, double sensorHeight, bool summary) {
        if (summary) observers.push_back(&fwhm.emplace());
        if (summary || !names.map.empty() || !names.mapJson.empty()) {
            observers.push_back(&shapes.emplace());
        }
        if (!names.stars.empty()) {
            Result<> opened = starFile.emplace(names.stars, "星の一覧").open();
            if (!opened.done()) return opened;
            observers.push_back(&starTable.emplace(*starFile));
        }
        if (!names.regions.empty()) {
            Result<> opened = regionFile.emplace(names.regions, "領域ファイル").open();
            if (!opened.done()) return opened;
            observers.push_back(&regions.emplace(*regionFile, sensorHeight));
        }
        return {};
    }

    Result<> commit() {
        if (starFile) {
            if (Result<> committed = starFile->commit(); !committed.done()) return committed;
        }
        if (regionFile) return regionFile->commit();
        return {};
    }
};

// The sensor height a region file turns the rows upside down by; a setting that does not
// convert stops the run before any star is read, so then it does not matter.
double sensorHeightOf(const ControlTexts& controls) {
    const Result<PlotSettings> settings = PlotSettings::from(controls);
    return settings.done() ? settings.value().SensorHeight : 0;
}

}  // namespace

JobRunner::JobRunner(const PlotJob& job, StarSourceOpener open, ThreadBudget& threads)
    : job_(job), open_(std::move(open)), threads_(threads) {}

SummaryRow JobRunner::run(const std::string& input, const OutputNames& outputs,
                          RunMonitor* monitor) const {
    const PlotRequest request{controlsFor(input), job_.thresholds, input};
    RunOutputs files;
    const bool summary = job_.batch() || !job_.summary.empty();
    if (Result<> opened = files.open(outputs, sensorHeightOf(request.controls), summary);
        !opened.done()) {
        return {input, RunResult(opened)};
    }
    StarListWriter saved;
    const StarSourceOpener open = outputs.saveList.empty() ? open_ : saved.recording(open_);
    RasterSurface raster;
    RunResult result =
        runPlot(request, open, raster,
                {.observers = files.observers, .monitor = monitor, .threads = &threads_});
    if (!result.done()) return {input, std::move(result)};
    // The map over the plot as the run sized it, made once the run has completed.
    std::optional<ShapeMap> map;
    if (files.shapes)
        map.emplace(files.shapes->take(), raster.width(), raster.height(), job_.mapGrid);
    Result<> kept = files.commit();
    if (kept.done()) kept = saveList(saved, outputs.saveList);
    if (kept.done() && map) kept = saveMap(*map, outputs);
    if (kept.done() && !outputs.image.empty()) kept = PlotImage::save(raster, outputs.image);
    if (!kept.done()) return {input, RunResult(kept)};
    SummaryRow row{input, std::move(result), files.fwhm ? files.fwhm->median() : std::nullopt};
    if (map) row.map = MapFigures::of(*map);
    return row;
}

// A photograph, or a catalog with its picture beside it, sets the sensor size to the picture's,
// as a camera preset would, unless the options gave it.
ControlTexts JobRunner::controlsFor(const std::string& input) const {
    ControlTexts controls = job_.controls;
    if (job_.widthGiven && job_.heightGiven) return controls;
    if (const std::optional<PictureSize> size = StarSources::plotSize(input)) {
        if (!job_.widthGiven) controls.width = std::to_string(size->width);
        if (!job_.heightGiven) controls.height = std::to_string(size->height);
    }
    return controls;
}

Result<> JobRunner::saveMap(const ShapeMap& map, const OutputNames& outputs) {
    if (!outputs.mapJson.empty()) {
        OutputFile file(outputs.mapJson, "星像マップの数値");
        if (Result<> opened = file.open(); !opened.done()) return opened;
        file.write(ShapeMapJson::text(map));
        if (Result<> committed = file.commit(); !committed.done()) return committed;
    }
    if (outputs.map.empty()) return {};
    return MapImage::save(map, outputs.map);
}

Result<> JobRunner::saveList(StarListWriter& saved, const std::string& path) {
    if (path.empty()) return {};
    OutputFile file(path, "星のリスト");
    if (Result<> opened = file.open(); !opened.done()) return opened;
    if (Result<> written = saved.finish(file); !written.done()) return written;
    return file.commit();
}
