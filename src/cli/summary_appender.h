#pragma once

#include <cstdio>
#include <mutex>
#include <ostream>
#include <string>

#include "output/summary_table.h"
#include "text/result.h"

// A watch's summary: one CSV row per frame, appended as soon as the frame is done and flushed at
// once, so that `tail -f` follows the night. A new or empty file gets the header line first; an
// existing one is only added to. Without a file, standard output takes the rows. Safe from any
// thread; a row is written whole or not at all as far as the system allows.
class SummaryAppender {
public:
    // path empty: the rows go to out.
    SummaryAppender(std::string path, std::ostream& out);
    ~SummaryAppender();
    SummaryAppender(const SummaryAppender&) = delete;
    SummaryAppender& operator=(const SummaryAppender&) = delete;

    Result<> open();
    Result<> append(const SummaryRow& row);

private:
    Result<> write(const std::string& text);
    Fault failure(int errorNumber) const;

    std::string path_;
    std::ostream& out_;
    std::FILE* file_ = nullptr;
    std::mutex mutex_;
};
