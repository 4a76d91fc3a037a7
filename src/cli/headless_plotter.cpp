#include "cli/headless_plotter.h"

#include <algorithm>
#include <cerrno>
#include <ostream>

#include "cli/batch_runner.h"
#include "cli/interrupt_stop.h"
#include "cli/output_plan.h"
#include "cli/plotter_options.h"
#include "cli/summary_appender.h"
#include "cli/watch_runner.h"
#include "doublestar/threshold_file.h"
#include "output/counts_json.h"
#include "output/counts_table.h"
#include "output/output_file.h"
#include "output/summary_table.h"
#include "platform/offscreen_gui.h"
#include "plot/plot_settings.h"
#include "sources/input_folder.h"
#include "sources/star_sources.h"
#include "system/thread_budget.h"
#include "text/messages.h"

namespace {

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isJson(const std::string& path) {
    return path.size() >= 5 && path.compare(path.size() - 5, 5, ".json") == 0;
}

bool writeSummary(const PlotJob& job, const std::vector<SummaryRow>& rows, std::ostream& err) {
    OutputFile file(job.summary, "集計ファイル");
    Result<> written = file.open();
    if (written.done()) {
        file.write(isJson(job.summary) ? SummaryTable::json(rows) : SummaryTable::csv(rows));
        written = file.commit();
        if (written.done()) return true;
    }
    err << written.fault().message << '\n';
    return false;
}

// A plot smaller than the picture its stars were measured on is told, as the window tells it;
// the counts and the exit status stay as they are.
void warnOfStarsOutside(const PlotJob& job, const std::vector<SummaryRow>& rows,
                        std::ostream& err) {
    for (const SummaryRow& row : rows) {
        if (!row.result.done() || row.result.starsOutside == 0) continue;
        if (job.batch()) err << Messages::shownName(row.file) << ": ";
        err << Messages::starsOutside(row.result.starsOutside, "--width と --height ") << '\n';
    }
}

// A quiet batch tells which inputs stopped only in its summary: when that cannot be written,
// they are named on standard error instead.
void tellStopped(const std::vector<SummaryRow>& rows, std::ostream& err) {
    for (const SummaryRow& row : rows) {
        if (row.result.done()) continue;
        err << "quendra-plot: 中止: " << Messages::shownName(row.file);
        if (!row.result.fault().message.empty()) err << ": " << row.result.fault().message;
        err << '\n';
    }
}

}  // namespace

int HeadlessPlotter::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         bool errIsTerminal, const std::atomic<bool>* stop) {
    PlotterOptions::Parsed parsed = PlotterOptions::parse(args, ".", ThreadBudget::cores());
    if (parsed.outcome == PlotterOptions::Outcome::Usage) {
        err << parsed.error;
        return kUsage;
    }
    if (parsed.outcome == PlotterOptions::Outcome::Help) {
        out << PlotterOptions::usage();
        return kCompleted;
    }
    PlotJob& job = parsed.job;
    // Digits alone read the same with any separator; only other texts need the user's.
    if (!allDigits(job.controls.width) || !allDigits(job.controls.height)) {
        job.controls.decimalSeparator = decimalSeparator_;
    }
    std::vector<OutputNames> outputs;
    if (const std::string error = OutputPlan::check(job, outputs); !error.empty()) {
        err << error;
        return kUsage;
    }
    if (const std::string error = OutputPlan::checkWatch(job); !error.empty()) {
        err << error;
        return kUsage;
    }
    if (!loadThresholds(job, err)) return kStopped;
    // The map's picture has text, whose fonts only a GUI application gives; made here, on the
    // main thread, before any run draws one, and only then: a plain run starts no GUI.
    if (!job.outputs.map.empty()) OffscreenGui::ensure();
    // Told before the work, so that a long batch or a watch can be stopped at once; the runs go on.
    if (PlotSettings::oversizedStars(job.controls.starSize)) {
        err << Messages::smallStarSize(job.controls.starSize) << '\n';
    }
    if (!job.watch.empty()) return watch(job, out, err, stop ? *stop : InterruptStop::arm());
    const BatchProgress::Style style = !job.batch() || job.quiet ? BatchProgress::Style::Quiet
                                       : errIsTerminal           ? BatchProgress::Style::Bar
                                                                 : BatchProgress::Style::Lines;
    BatchProgress progress(err, style, job.inputs.size());
    // Every thread of the program comes from here: -j runs at a time, or one per core when that
    // is more, this thread being one of them. The batch takes its runs' threads first; what is
    // left reads ahead and takes a photograph's second core.
    ThreadBudget threads(std::max(job.parallel, ThreadBudget::cores()) - 1);
    const std::vector<SummaryRow> rows =
        BatchRunner::run(job, outputs, StarSources::opener(job.detection), threads, progress);
    return report(job, rows, out, err);
}

int HeadlessPlotter::watch(const PlotJob& job, std::ostream& out, std::ostream& err,
                           const std::atomic<bool>& stop) {
    if (const Result<std::vector<std::string>> folder = InputFolder::list(job.watch);
        !folder.done()) {
        err << "quendra-plot: " << folder.fault().message << '\n';
        return kStopped;
    }
    SummaryAppender summary(job.summary, out);
    if (const Result<> opened = summary.open(); !opened.done()) {
        err << opened.fault().message << '\n';
        return kStopped;
    }
    BatchProgress progress(
        err, job.quiet ? BatchProgress::Style::Quiet : BatchProgress::Style::Lines, 0);
    // This thread only looks at the folder: the -j runs at a time take a thread each.
    ThreadBudget threads(std::max(job.parallel, ThreadBudget::cores()));
    WatchRunner runner(job, StarSources::opener(job.detection), threads, progress, summary, err,
                       stop);
    return runner.run() == 0 ? kCompleted : kStopped;
}

bool HeadlessPlotter::loadThresholds(PlotJob& job, std::ostream& err) {
    if (!job.thresholdFile.empty()) {
        const Result<ThresholdTable> loaded = ThresholdFile::read(job.thresholdFile);
        if (!loaded.done()) {
            err << Messages::thresholdFileUnreadable(job.thresholdFile) << '\n'
                << loaded.fault().message << '\n';
            return false;
        }
        job.thresholds = loaded.value();
    }
    if (job.orSelected) job.thresholds.andSelected = false;
    if (job.angleCorrection) job.thresholds.radialAngleCorrection = *job.angleCorrection;
    return true;
}

int HeadlessPlotter::report(const PlotJob& job, const std::vector<SummaryRow>& rows,
                            std::ostream& out, std::ostream& err) {
    bool allCompleted = std::all_of(rows.begin(), rows.end(),
                                    [](const SummaryRow& row) { return row.result.done(); });
    if (!job.batch()) {
        const RunResult& result = rows.front().result;
        if (!result.done()) {
            if (!result.fault().message.empty()) err << result.fault().message << '\n';
            if (!result.fault().detail.empty()) err << result.fault().detail << '\n';
        } else {
            out << (job.json ? CountsJson::text(result) : CountsTable::text(result));
        }
    } else if (job.summary.empty()) {
        out << (job.json ? SummaryTable::json(rows) : SummaryTable::csv(rows));
    }
    warnOfStarsOutside(job, rows, err);
    // What is already on standard output goes first: the summary may be written there too.
    errno = 0;
    out.flush();
    const int error = errno;
    if (!job.summary.empty() && !writeSummary(job, rows, err)) {
        allCompleted = false;
        if (job.batch() && job.quiet) tellStopped(rows, err);
    }
    if (!out) {
        // The counts are lost when they cannot be written: that is no completed run.
        err << "quendra-plot: 標準出力に書けません"
            << (error != 0 ? "（" + Messages::fileReason(error) + "）" : std::string()) << "。\n";
        return kStopped;
    }
    return allCompleted ? kCompleted : kStopped;
}
