#include "cli/batch_runner.h"

#include "text/messages.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>

std::vector<SummaryRow> BatchRunner::run(const PlotJob& job,
                                         const std::vector<OutputNames>& outputs,
                                         const StarSourceOpener& open, ThreadBudget& threads,
                                         BatchProgress& progress) {
    const std::size_t count = job.inputs.size();
    const auto workers = std::min<std::size_t>(static_cast<std::size_t>(job.parallel), count);
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
