#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "text/result.h"

// Follows a folder into which a capture program writes its frames. An input (InputFolder) is
// handed out once it is complete, which is taken to be once its size and modification time have
// stayed the same, and its size above zero, for the settle time: the program may still be
// writing it. The inputs already there when watching begins are handed out the same way. Each
// file is handed out once, also when it leaves the folder and comes back.
class FolderWatch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kSettle{1000};

    explicit FolderWatch(std::string folder, std::chrono::milliseconds settle = kSettle);

    const std::string& folder() const { return folder_; }
    // Looks at the folder as it is at `now`: the inputs that have become complete since the last
    // look, as full paths sorted by name; the fault when the folder cannot be read.
    Result<std::vector<std::string>> poll(Clock::time_point now = Clock::now());
    // Takes a file as handed out already: one added by other means, or put there by the caller.
    void skip(const std::string& path);

private:
    struct Seen {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        Clock::time_point since;  // when it was last seen to change
    };

    std::string folder_;
    std::chrono::milliseconds settle_;
    std::map<std::string, Seen> settling_;
    std::set<std::string> handedOut_;
};
