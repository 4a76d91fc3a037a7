#pragma once

#include <cstdint>
#include <string_view>

// Watches a long run: told now and then what it is doing and how far it got, and able to cancel
// it. A cancelled run stops as a stopped run does, without a message.
class RunMonitor {
public:
    virtual ~RunMonitor() = default;

    // stage: what the run is doing, for a progress dialog ("星を検出しています", ...); done of
    // total, total 0 when not known. False cancels the run.
    virtual bool proceed(std::string_view stage, std::int64_t done, std::int64_t total) = 0;
};
