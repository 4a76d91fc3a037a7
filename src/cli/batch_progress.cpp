#include "cli/batch_progress.h"

#include <array>
#include <cstdio>

#include "text/messages.h"

namespace {

constexpr int kBarWidth = 30;

std::string seconds(std::chrono::duration<double> took) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f s", took.count());
    return text.data();
}

}  // namespace

BatchProgress::BatchProgress(std::ostream& err, Style style, std::size_t total)
    : err_(err), style_(style), total_(total) {}

void BatchProgress::finished(const SummaryRow& row, std::chrono::duration<double> took) {
    const std::lock_guard lock(mutex_);
    ++finished_;
    if (style_ == Style::Quiet) return;
    const bool completed = row.result.done();
    if (style_ == Style::Bar && completed) {
        drawBar();
        return;
    }
    if (style_ == Style::Bar) err_ << "\r\x1b[K";
    err_ << finished_;
    if (total_ > 0) err_ << '/' << total_;
    err_ << ' ' << Messages::shownName(row.file) << ' ' << (completed ? "完了 " : "中止 ")
         << seconds(took);
    if (!completed && !row.result.fault().message.empty()) {
        err_ << ": " << row.result.fault().message;
    }
    err_ << '\n';
    if (style_ == Style::Bar) drawBar();
    err_.flush();
}

void BatchProgress::drawBar() {
    const auto filled = static_cast<int>(finished_ * kBarWidth / (total_ == 0 ? 1 : total_));
    err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kBarWidth - filled), '-') << "] " << finished_
         << '/' << total_;
    err_.flush();
}

void BatchProgress::done() {
    const std::lock_guard lock(mutex_);
    if (style_ == Style::Bar) err_ << '\n';
}
