#pragma once

#include <string>
#include <string_view>

#include "sources/photo/detection_settings.h"

// What reading and detecting a photograph tells the user; every message names the file.
class PhotoMessages {
public:
    static constexpr const char* kReadingStage = "写真を読んでいます";
    static constexpr const char* kDetectingStage = "星を検出しています";

    static std::string cannotOpen(std::string_view path, int errorNumber);
    static std::string noImage(std::string_view path);
    static std::string badSide(std::string_view path, long long width, long long height);
    static std::string damaged(std::string_view path);
    static std::string unreadable(std::string_view path);
    static std::string notRaw(std::string_view path);
    static std::string unsupportedSensor(std::string_view path);
    static std::string outOfMemory(std::string_view path, long long width, long long height);
    static std::string noStars(std::string_view path, const DetectionSettings& settings);
    static std::string tooCrowded(std::string_view path);
    // Larger than the detection can scan (see SepExtraction::fits).
    static std::string tooLarge(std::string_view path, long long width, long long height);
    static std::string detectionFailed(std::string_view path);
};
