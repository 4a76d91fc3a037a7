#pragma once

#include <string>

// The temporary files of outputs not yet put in place, so that an interrupted program can
// remove them on its way out (Ctrl+C in a terminal, a batch killed by its scheduler).
class UnfinishedFiles {
public:
    static constexpr int kSlots = 256;

    // Remembers path; false when every slot is taken (the file then stays if interrupted).
    static int add(const std::string& path);
    static void remove(int slot);
    // Removes every unfinished file; safe in a signal handler (quendra-plot's, InterruptStop).
    static void removeAll();
};
