#include "plotter/job_runner.h"

#include <optional>
#include <vector>

#include "output/fwhm_median.h"
#include "output/region_file.h"
#include "output/star_list_writer.h"
#include "output/star_table.h"
#include "plot/plotting_run.h"
#include "plotter/plot_image.h"
#include "sources/star_sources.h"

namespace {

RunResult stoppedBy(const Fault& fault) {
    RunResult result;
    result.message = fault.message;
    result.detail = fault.detail;
    return result;
}

// The outputs of one run besides the plot, opened before it and put in place after it.
struct RunOutputs {
    std::optional<OutputFile> starFile;
    std::optional<StarTable> starTable;
    std::optional<OutputFile> regionFile;
    std::optional<RegionFile> regions;
    std::optional<FwhmMedian> fwhm;  // only where a summary shows it
    std::vector<StarObserver*> observers;

    bool open(const OutputNames& names, double sensorHeight, bool summary, Fault& fault) {
        if (summary) observers.push_back(&fwhm.emplace());
        if (!names.stars.empty()) {
            if (!starFile.emplace(names.stars, "星の一覧").open(fault)) return false;
            observers.push_back(&starTable.emplace(*starFile));
        }
        if (!names.regions.empty()) {
            if (!regionFile.emplace(names.regions, "領域ファイル").open(fault)) return false;
            observers.push_back(&regions.emplace(*regionFile, sensorHeight));
        }
        return true;
    }

    bool commit(Fault& fault) {
        return (!starFile || starFile->commit(fault)) && (!regionFile || regionFile->commit(fault));
    }
};

// The sensor height a region file turns the rows upside down by; a setting that does not
// convert stops the run before any star is read, so then it does not matter.
double sensorHeightOf(const ControlTexts& controls) {
    Fault ignored;
    const std::optional<PlotSettings> settings = PlotSettings::from(controls, ignored);
    return settings ? settings->SensorHeight : 0;
}

}  // namespace

JobRunner::JobRunner(const PlotJob& job, StarSourceOpener open, PictureModule& pictures,
                     bool readAhead)
    : job_(job), open_(std::move(open)), pictures_(pictures), readAhead_(readAhead) {}

SummaryRow JobRunner::run(const std::string& input, const OutputNames& outputs) const {
    const PlotRequest request{controlsFor(input), job_.thresholds, input};
    Fault fault;
    RunOutputs files;
    const bool summary = job_.batch() || !job_.summary.empty();
    if (!files.open(outputs, sensorHeightOf(request.controls), summary, fault)) {
        return {input, stoppedBy(fault)};
    }
    StarListWriter saved;
    const StarSourceOpener open = outputs.saveList.empty() ? open_ : saved.recording(open_);
    RasterSurface raster;
    RunResult result =
        runPlot(request, open, raster, {.observers = files.observers, .readAhead = readAhead_});
    if (!result.completed) return {input, std::move(result)};
    if (!files.commit(fault) || !saveList(saved, outputs.saveList, fault) ||
        (!outputs.image.empty() && !PlotImage::save(raster, outputs.image, pictures_, fault))) {
        return {input, stoppedBy(fault)};
    }
    return {input, std::move(result), files.fwhm ? files.fwhm->median() : std::nullopt};
}

// A photograph sets the sensor size to its own, as a camera preset would, unless the options
// gave it.
ControlTexts JobRunner::controlsFor(const std::string& input) const {
    ControlTexts controls = job_.controls;
    if (job_.widthGiven && job_.heightGiven) return controls;
    if (const std::optional<PictureSize> size = StarSources::pictureSize(input, pictures_)) {
        if (!job_.widthGiven) controls.width = std::to_string(size->width);
        if (!job_.heightGiven) controls.height = std::to_string(size->height);
    }
    return controls;
}

bool JobRunner::saveList(StarListWriter& saved, const std::string& path, Fault& fault) {
    if (path.empty()) return true;
    OutputFile file(path, "星のリスト");
    return file.open(fault) && saved.finish(file, fault) && file.commit(fault);
}
