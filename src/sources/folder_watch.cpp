#include "sources/folder_watch.h"

#include <system_error>

#include "sources/input_folder.h"

FolderWatch::FolderWatch(std::string folder, std::chrono::milliseconds settle)
    : folder_(std::move(folder)), settle_(settle) {}

void FolderWatch::skip(const std::string& path) {
    handedOut_.insert(path);
    settling_.erase(path);
}

Result<std::vector<std::string>> FolderWatch::poll(Clock::time_point now) {
    Result<std::vector<std::string>> listed = InputFolder::list(folder_);
    if (!listed.done()) return listed;
    std::map<std::string, Seen> still;
    std::vector<std::string> complete;
    for (const std::string& path : listed.value()) {
        if (handedOut_.contains(path)) continue;
        std::error_code error;
        Seen seen;
        seen.size = std::filesystem::file_size(path, error);
        if (!error) seen.modified = std::filesystem::last_write_time(path, error);
        if (error) continue;  // gone again, or not to be looked at: perhaps at the next look
        seen.since = now;
        if (const auto before = settling_.find(path); before != settling_.end() &&
                                                      before->second.size == seen.size &&
                                                      before->second.modified == seen.modified) {
            seen.since = before->second.since;
        }
        if (seen.size > 0 && now - seen.since >= settle_) {
            handedOut_.insert(path);
            complete.push_back(path);
        } else {
            still.emplace(path, seen);
        }
    }
    settling_ = std::move(still);
    return complete;
}
