#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "text/number_syntax.h"

// An ASCII_HEAD catalog read the plainest way, from memory, to check the streaming reader
// against: whole lines (LF, CR LF or CR), header lines while they start with "#", a header line
// numbered when its first word is 1 to 8 digits of a value from 1 to 10,000,000, rows of items
// between blanks, no item longer than kLongestItem, blank and "#" lines between rows skipped.
class ReferenceCatalog {
public:
    static constexpr std::size_t kLongestItem = 4096;
    static constexpr std::array<std::string_view, 11> kNames{
        "X_IMAGE",     "Y_IMAGE",     "XMIN_IMAGE",  "XMAX_IMAGE",  "YMIN_IMAGE", "YMAX_IMAGE",
        "X2WIN_IMAGE", "Y2WIN_IMAGE", "XYWIN_IMAGE", "FLUX_RADIUS", "FWHM_IMAGE"};
    using Values = std::array<double, 11>;  // in the order of kNames

    struct Read {
        std::vector<Values> rows;  // every row, the skipped objects too
        bool fault = false;
    };

    static Read read(std::string_view text) {
        Read read;
        std::vector<std::string_view> lines = split(text);
        std::size_t line = 0;
        std::array<long, 11> column{};
        long last = 0;
        for (; line < lines.size() && !lines[line].empty() && lines[line][0] == '#'; ++line) {
            if (!headerLine(lines[line].substr(1), column, last)) return faulted(read);
        }
        for (long c : column) {
            if (c == 0) return faulted(read);
        }
        long firstRow = 0;
        for (; line < lines.size(); ++line) {
            const std::vector<std::string_view> items = words(lines[line]);
            if (items.empty() || items[0][0] == '#') continue;
            Values values{};
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (items[i].size() > kLongestItem) return faulted(read);
                for (std::size_t n = 0; n < kNames.size(); ++n) {
                    if (column[n] != static_cast<long>(i) + 1) continue;
                    if (!NumberSyntax::convert(items[i], values[n])) return faulted(read);
                }
            }
            const auto count = static_cast<long>(items.size());
            if (firstRow == 0) firstRow = count;
            if (count < last || count != firstRow) return faulted(read);
            read.rows.push_back(values);
        }
        return read;
    }

private:
    static Read& faulted(Read& read) {
        read.fault = true;
        return read;
    }

    static bool isBlank(char c) { return c == ' ' || c == '\t'; }

    static std::vector<std::string_view> split(std::string_view text) {
        std::vector<std::string_view> lines;
        std::size_t start = 0;
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text[at] != '\n' && text[at] != '\r') continue;
            lines.push_back(text.substr(start, at - start));
            if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
            start = at + 1;
        }
        if (start < text.size()) lines.push_back(text.substr(start));
        return lines;
    }

    static std::vector<std::string_view> words(std::string_view line) {
        std::vector<std::string_view> words;
        std::size_t at = 0;
        while (at < line.size()) {
            while (at < line.size() && isBlank(line[at])) ++at;
            const std::size_t start = at;
            while (at < line.size() && !isBlank(line[at])) ++at;
            if (at > start) words.push_back(line.substr(start, at - start));
        }
        return words;
    }

    static long number(std::string_view word) {
        if (word.empty() || word.size() > 8) return 0;
        long value = 0;
        for (char c : word) {
            if (c < '0' || c > '9') return 0;
            value = value * 10 + (c - '0');
        }
        return value <= 10'000'000 ? value : 0;
    }

    static bool headerLine(std::string_view line, std::array<long, 11>& column, long& last) {
        const std::vector<std::string_view> parts = words(line);
        if (parts.empty()) return true;
        if (parts[0].size() > kLongestItem) return false;
        const long n = number(parts[0]);
        if (n == 0) return true;
        if (n <= last) return false;
        last = n;
        if (parts.size() < 2) return true;
        if (parts[1].size() > kLongestItem) return false;
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            if (parts[1] != kNames[i]) continue;
            if (column[i] != 0) return false;
            column[i] = n;
        }
        return true;
    }
};
