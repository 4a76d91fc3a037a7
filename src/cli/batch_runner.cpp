#include "cli/batch_runner.h"

#include "text/messages.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <system_error>
#include <thread>

std::vector<SummaryRow> BatchRunner::run(const PlotJob& job,
                                         const std::vector<OutputNames>& outputs,
                                         const StarSourceOpener& open, BatchProgress& progress) {
    const std::size_t count = job.inputs.size();
    const auto workers = std::min<std::size_t>(static_cast<std::size_t>(job.parallel), count);
    // With a run per core the cores are busy already; a reading thread per run would only
    // make them take turns.
    const JobRunner runner(job, open, workers <= 1);
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
    std::vector<std::thread> threads;
    try {
        for (std::size_t t = 1; t < workers; ++t) threads.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads than asked for: those there are take every input all the same.
    }
    work();
    for (std::thread& thread : threads) thread.join();
    progress.done();
    return rows;
}
