#pragma once

#include <string>
#include <string_view>

// What the Source Extractor catalog reader tells the user: every message names the file, and the
// line where one is known.
class CatalogMessages {
public:
    static std::string cannotOpen(std::string_view path, int errorNumber);
    static std::string unreadable(std::string_view path, long line);
    static std::string badColumnNumber(std::string_view path, long line, std::string_view number);
    static std::string columnTwice(std::string_view path, long line, std::string_view name);
    // names: the missing ones, separated by ", ".
    static std::string missingColumns(std::string_view path, std::string_view names);
    static std::string itemTooLong(std::string_view path, long line, std::string_view item,
                                   std::size_t longest);
    static std::string notANumber(std::string_view path, long line, std::string_view column,
                                  std::string_view item);
    static std::string shortRow(std::string_view path, long line, long items, long needed);
    static std::string unevenRow(std::string_view path, long line, long items, long firstRow);
};
