#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <vector>

#include "text/number_syntax.h"

// The star list format read the plainest way, from memory, to check the streaming reader
// against: a header up to the first comma or line end (at most kLongestItem bytes, no NUL), then
// items between separators (blanks, tabs, line ends, at most one comma), each wholly a number of
// at most kLongestItem bytes, twelve to a record, the eleventh (the angle) within the single
// range, the file ending after a whole record.
class ReferenceStarList {
public:
    static constexpr std::size_t kLongestItem = 4096;
    using Items = std::array<double, 12>;

    struct Read {
        std::vector<Items> records;
        bool fault = false;  // the reading stopped with a message
    };

    static Read read(std::string_view text) {
        Read read;
        if (text.empty()) {
            read.fault = true;
            return read;
        }
        std::size_t at = 0;
        while (at < text.size() && text[at] != ',' && !isLineEnd(text[at])) {
            if (text[at] == '\0' || at == kLongestItem) {
                read.fault = true;
                return read;
            }
            ++at;
        }
        for (;;) {
            Items items{};
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (!skipSeparator(text, at)) {
                    read.fault = true;
                    return read;
                }
                if (at == text.size()) {
                    read.fault = i != 0;
                    return read;
                }
                const std::size_t start = at;
                while (at < text.size() && !endsItem(text[at])) ++at;
                const std::string_view item = text.substr(start, at - start);
                if (item.size() > kLongestItem || !NumberSyntax::convert(item, items[i]) ||
                    (i == 10 && std::isinf(static_cast<float>(items[i])))) {
                    read.fault = true;
                    return read;
                }
            }
            read.records.push_back(items);
        }
    }

private:
    static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }
    static bool endsItem(char c) { return c == ',' || isBlank(c) || isLineEnd(c); }

    // False on a second comma before the next item.
    static bool skipSeparator(std::string_view text, std::size_t& at) {
        bool comma = false;
        for (; at < text.size() && endsItem(text[at]); ++at) {
            if (text[at] == ',') {
                if (comma) return false;
                comma = true;
            }
        }
        return true;
    }
};
