#pragma once

#include <chrono>
#include <mutex>
#include <ostream>
#include <string>

#include "output/summary_table.h"

// Tells standard error how a batch goes: a line per finished input ("12/100 frame_012.fits 完了
// 0.4 s"), or on a terminal a bar that a stopped input's line interrupts. A total of 0 is not
// known (a watched folder): lines then count without it. Safe from any thread.
class BatchProgress {
public:
    enum class Style { Quiet, Lines, Bar };

    BatchProgress(std::ostream& err, Style style, std::size_t total);

    void finished(const SummaryRow& row, std::chrono::duration<double> took);
    void done();

private:
    void drawBar();

    std::ostream& err_;
    Style style_;
    std::size_t total_;
    std::size_t finished_ = 0;
    std::mutex mutex_;
};
