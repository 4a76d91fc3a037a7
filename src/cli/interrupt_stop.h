#pragma once

#include <atomic>

// How quendra-plot ends on SIGINT, SIGTERM and SIGHUP. A batch removes its unfinished files and
// ends at once, as the signal would have ended it. A watch, once armed, is only asked to stop by
// the first signal: it finishes cleanly, every file whole; a second signal ends it at once.
class InterruptStop {
public:
    // Installs the handlers; called by main before any thread starts.
    static void install();
    // The first signal from now on only sets the flag returned.
    static const std::atomic<bool>& arm();
};
