#include "cli/summary_appender.h"

#include <cerrno>

#include "text/messages.h"

SummaryAppender::SummaryAppender(std::string path, std::ostream& out)
    : path_(std::move(path)), out_(out) {}

SummaryAppender::~SummaryAppender() {
    if (file_ != nullptr) std::fclose(file_);
}

Fault SummaryAppender::failure(int errorNumber) const {
    if (path_.empty())
        return {"quendra-plot: 標準出力に書けません（" + Messages::fileReason(errorNumber) + "）。",
                {}};
    return {"集計ファイル「" + Messages::shownName(path_) + "」に書けません（" +
                Messages::fileReason(errorNumber) + "）。",
            {}};
}

Result<> SummaryAppender::open() {
    if (!path_.empty()) {
        errno = 0;
        file_ = std::fopen(path_.c_str(), "ab");
        if (file_ == nullptr) return failure(errno);
        // Appending starts at the end: a file that is empty there has no header yet.
        if (std::fseek(file_, 0, SEEK_END) != 0 || std::ftell(file_) > 0) return {};
    }
    return write(SummaryTable::csvHeader());
}

Result<> SummaryAppender::append(const SummaryRow& row) {
    return write(SummaryTable::csvRow(row));
}

Result<> SummaryAppender::write(const std::string& text) {
    const std::lock_guard lock(mutex_);
    errno = 0;
    if (file_ == nullptr) {
        out_ << text;
        out_.flush();
        return out_ ? Result<>() : Result<>(failure(errno));
    }
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
        return failure(errno);
    }
    return {};
}
