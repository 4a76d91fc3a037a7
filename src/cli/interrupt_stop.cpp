#include "cli/interrupt_stop.h"

#include <csignal>

#include "output/unfinished_files.h"

namespace {

std::atomic<bool> armed{false};
std::atomic<bool> requested{false};

static_assert(std::atomic<bool>::is_always_lock_free, "the handler sets it");

extern "C" void onInterrupt(int signalNumber) {
    if (armed.load() && !requested.exchange(true)) return;
    UnfinishedFiles::removeAll();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

}  // namespace

void InterruptStop::install() {
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) std::signal(signalNumber, onInterrupt);
}

const std::atomic<bool>& InterruptStop::arm() {
    armed = true;
    return requested;
}
