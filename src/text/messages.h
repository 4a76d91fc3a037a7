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
    // Below 1 every star is drawn so large that the plot fills with black.
    static std::string badStarSize(std::string_view text);
    // A star size below the bar's left end: drawn, with this warning.
    static std::string smallStarSize(std::string_view text);
    // Outside 0 to 255 a text names no grey; 300 used to draw white stars on the white plot.
    static std::string badGrey(std::string_view text);
    // Drawn stars whose centres lie off the plot: the plot is smaller than the picture they were
    // measured on. sizeNames: how the reader sets the plot's size ("横と縦", "--width と
    // --height").
    static std::string starsOutside(std::int64_t count, std::string_view sizeNames);
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
