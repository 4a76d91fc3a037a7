#include "cli/job_runner.h"

#include <optional>
#include <tuple>
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

// The files of one run: the per-star table and the regions written as the stars are drawn, the
// saved list, the star-shape map and the plot after a completed run. All are opened before the
// run and put in place only when every one of them is whole, so that a run that stops at any
// point, or an output that cannot be written, replaces no old file.
struct RunOutputs {
    std::optional<OutputFile> starFile;
    std::optional<StarTable> starTable;
    std::optional<OutputFile> regionFile;
    std::optional<RegionFile> regions;
    std::optional<OutputFile> listFile;
    std::optional<OutputFile> mapJsonFile;
    std::optional<OutputFile> mapFile;
    std::optional<OutputFile> imageFile;
    std::optional<FwhmMedian> fwhm;  // only where a summary shows it
    // Only where a map or the summary needs them: a plain run keeps nothing of its stars.
    std::optional<ShapeCollector> shapes;
    std::vector<StarObserver*> observers;

    Result<> open(const OutputNames& names, double sensorHeight, bool summary) {
        if (summary) observers.push_back(&fwhm.emplace());
        if (summary || !names.map.empty() || !names.mapJson.empty()) {
            observers.push_back(&shapes.emplace());
        }
        if (Result<> opened = openFile(starFile, names.stars, "星の一覧"); !opened.done()) {
            return opened;
        }
        if (starFile) observers.push_back(&starTable.emplace(*starFile));
        if (Result<> opened = openFile(regionFile, names.regions, "領域ファイル"); !opened.done()) {
            return opened;
        }
        if (regionFile) observers.push_back(&regions.emplace(*regionFile, sensorHeight));
        for (const auto& [file, name, what] :
             {std::tuple{&listFile, &names.saveList, "星のリスト"},
              std::tuple{&mapJsonFile, &names.mapJson, "星像マップの数値"},
              std::tuple{&mapFile, &names.map, "星像マップ"},
              std::tuple{&imageFile, &names.image, "画像ファイル"}}) {
            if (Result<> opened = openFile(*file, *name, what); !opened.done()) return opened;
        }
        return {};
    }

    // After a completed run: the saved list, the map and the plot written, every file
    // finished, then every file put in place.
    Result<> keep(StarListWriter& saved, const std::optional<ShapeMap>& map,
                  const RasterSurface& raster) {
        if (listFile) {
            if (Result<> written = saved.finish(*listFile); !written.done()) return written;
        }
        if (mapJsonFile && map) mapJsonFile->write(ShapeMapJson::text(*map));
        if (mapFile && map) {
            if (Result<> written = MapImage::write(*map, *mapFile); !written.done()) return written;
        }
        if (imageFile) {
            if (Result<> written = PlotImage::write(raster, *imageFile); !written.done()) {
                return written;
            }
        }
        const std::vector<OutputFile*> files = all();
        for (OutputFile* file : files) {
            if (Result<> finished = file->finish(); !finished.done()) return finished;
        }
        for (OutputFile* file : files) {
            if (Result<> placed = file->place(); !placed.done()) return placed;
        }
        return {};
    }

private:
    static Result<> openFile(std::optional<OutputFile>& file, const std::string& name,
                             const char* what) {
        if (name.empty()) return {};
        return file.emplace(name, what).open();
    }

    std::vector<OutputFile*> all() {
        std::vector<OutputFile*> files;
        for (std::optional<OutputFile>* file :
             {&starFile, &regionFile, &listFile, &mapJsonFile, &mapFile, &imageFile}) {
            if (*file) files.push_back(&**file);
        }
        return files;
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
    if (files.shapes) {
        map.emplace(files.shapes->take(), raster.width(), raster.height(), job_.mapGrid);
    }
    if (Result<> kept = files.keep(saved, map, raster); !kept.done()) {
        return {input, RunResult(kept)};
    }
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
