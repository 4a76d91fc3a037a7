#include "cli/batch_runner.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>

#include "sources/star_sources.h"
#include "text/messages.h"

namespace {

// What a run holds besides its pixels: the reading ring, the outputs' buffers, a thread.
constexpr double kRunOverhead = 16.0 * (1 << 20);

double physicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<double>(pages) * static_cast<double>(pageSize)
                                     : 0.0;
}

// A side as the run will read it; the largest a plot takes where the text is none.
double side(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && value >= 1 && value <= 32767 ? value : 32767;
}

}  // namespace

std::size_t BatchRunner::runsAtOnce(std::size_t asked, std::size_t inputs, double runBytes,
                                    double memory) {
    std::size_t runs = std::min(asked, inputs);
    if (memory > 0 && runBytes > 0) {
        const double held = memory / 2 / runBytes;
        runs = std::min(runs, static_cast<std::size_t>(std::max(held, 1.0)));
    }
    return std::max<std::size_t>(runs, 1);
}

double BatchRunner::runBytes(const PlotJob& job, const std::string& input) {
    double plot = side(job.controls.width) * side(job.controls.height);
    double picture = 0;
    if (const std::optional<PictureSize> size = StarSources::plotSize(input)) {
        const double pixels = static_cast<double>(size->width) * size->height;
        if (!job.widthGiven || !job.heightGiven) plot = std::max(plot, pixels);
        picture = 8 * pixels;
    }
    return plot + picture + kRunOverhead;
}

std::vector<SummaryRow> BatchRunner::run(const PlotJob& job,
                                         const std::vector<OutputNames>& outputs,
                                         const StarSourceOpener& open, ThreadBudget& threads,
                                         BatchProgress& progress) {
    const std::size_t count = job.inputs.size();
    double largest = 0;
    if (job.parallel > 1) {
        for (const std::string& input : job.inputs)
            largest = std::max(largest, runBytes(job, input));
    }
    const std::size_t workers =
        runsAtOnce(static_cast<std::size_t>(job.parallel), count, largest, physicalMemory());
    const JobRunner runner(job, open, threads);
    std::vector<SummaryRow> rows(count);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            const auto start = std::chrono::steady_clock::now();
            try {
                rows[i] = runner.run(job.inputs[i], outputs[i]);
            } catch (const std::bad_alloc&) {
                rows[i] = {job.inputs[i], RunResult(Fault{Messages::outOfMemory(), {}})};
            }
            progress.finished(rows[i], std::chrono::steady_clock::now() - start);
        }
    };
    // Fewer threads than asked for: those there are take every input all the same.
    std::vector<ThreadBudget::Thread> runs;
    for (std::size_t t = 1; t < workers; ++t) {
        ThreadBudget::Thread run = threads.start(work);
        if (!run.started()) break;
        runs.push_back(std::move(run));
    }
    work();
    runs.clear();
    progress.done();
    return rows;
}
