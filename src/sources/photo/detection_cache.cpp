#include "sources/photo/detection_cache.h"

std::optional<DetectionCache::Key> DetectionCache::keyOf(const std::string& path,
                                                         const DetectionSettings& settings) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return {};
    const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
    if (error) return {};
    return Key{path, size, modified, settings};
}

std::unique_ptr<DetectedStars> DetectionCache::find(const Key& key) const {
    const std::lock_guard lock(mutex_);
    if (key_ != key) return nullptr;
    return std::make_unique<DetectedStars>(stars_, facts_);
}

void DetectionCache::keep(const Key& key, DetectedStars::Stars stars, const FrameFacts& facts) {
    const std::lock_guard lock(mutex_);
    key_ = key;
    stars_ = std::move(stars);
    facts_ = facts;
}

void DetectionCache::clear() {
    const std::lock_guard lock(mutex_);
    key_.reset();
    stars_.reset();
    facts_ = {};
}
