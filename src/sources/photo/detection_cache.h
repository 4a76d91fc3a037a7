#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "sources/photo/detected_stars.h"
#include "sources/photo/detection_settings.h"

// The stars detected on the last photograph, kept while the file's size and modification time
// and the detection settings stay the same, so that plotting it again with other limits does not
// detect again. Safe to use from several threads.
class DetectionCache {
public:
    // What identifies one detection: the file as it was when reading began, and the settings.
    struct Key {
        std::string path;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        DetectionSettings settings;

        bool operator==(const Key&) const = default;
    };

    // The key of the file as it is now; nothing when it cannot be looked at.
    static std::optional<Key> keyOf(const std::string& path, const DetectionSettings& settings);

    // A source of the stars and facts kept for the key; nullptr when none are.
    std::unique_ptr<DetectedStars> find(const Key& key) const;
    void keep(const Key& key, DetectedStars::Stars stars, const FrameFacts& facts);
    void clear();

private:
    mutable std::mutex mutex_;
    std::optional<Key> key_;
    DetectedStars::Stars stars_;
    FrameFacts facts_;
};
