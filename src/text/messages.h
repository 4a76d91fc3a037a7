#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Every message the engine shows the user, in one place, so that the same fault reads the same
// in the window and in the plotter. File names are quoted as they are shown: see shownName.
class Messages {
public:
    static constexpr const char* kRecordMismatch = "データ構造が違います";

    // A file name as a message shows it: control characters and escape sequences escaped.
    static std::string shownName(std::string_view path);

    static std::string badSide(std::string_view name, std::string_view text, int largest);
    static std::string badStarSize(std::string_view text);
    static std::string noStarList();
    static std::string plotMemory(int width, int height);
    static std::string outOfMemory();
    static std::string recordMismatchDetail(std::int64_t record, long line);

    static std::string thresholdFileUnreadable(std::string_view path);

    // The system's reason for a failed file operation, in Japanese for the common ones.
    static std::string fileReason(int errorNumber);

    static std::string starListCannotOpen(std::string_view path, int errorNumber);
    static std::string starListUnreadable(std::string_view path);
    static std::string starListUnreadableAt(std::string_view path, long line);
    static std::string starListEmpty(std::string_view path);
    static std::string starListNoHeader(std::string_view path);
    static std::string starListHeaderTooLong(std::string_view path, std::size_t longest);
    static std::string starListItemTooLong(std::string_view path, long line, std::string_view item,
                                           std::size_t longest);
    static std::string starListEmptyItem(std::string_view path, long line);
    static std::string starListNotANumber(std::string_view path, long line, std::string_view item);
    static std::string starListNumberTooLarge(std::string_view path, long line,
                                              std::string_view item);
    static std::string starListEndsInRecord(std::string_view path, std::int64_t record, int items,
                                            long line);
};
