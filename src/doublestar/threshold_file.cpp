#include "doublestar/threshold_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "text/message_excerpt.h"
#include "text/messages.h"
#include "text/number_syntax.h"
#include "text/number_text.h"
#include "text/parse_number.h"

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n';
}

// Splits off the next field; false at the end of the text.
bool nextField(std::string_view& rest, std::string_view& field) {
    std::size_t at = 0;
    while (at < rest.size() && isSeparator(rest[at])) ++at;
    if (at == rest.size()) return false;
    std::size_t end = at;
    while (end < rest.size() && !isSeparator(rest[end])) ++end;
    field = rest.substr(at, end - at);
    rest = rest.substr(end);
    return true;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string fieldFault(int number, std::string_view field, const char* expected) {
    return std::to_string(number) + " 番目の項目「" + messageExcerpt(field) + "」が" + expected +
           "ではありません。";
}

// Field 26: "True", "False" or a number, nonzero meaning AND.
bool readFlag(std::string_view field, bool& andSelected) {
    if (equalsIgnoringCase(field, "true")) {
        andSelected = true;
    } else if (equalsIgnoringCase(field, "false")) {
        andSelected = false;
    } else {
        double value = 0;
        if (!NumberSyntax::convert(field, value)) return false;
        andSelected = value != 0;
    }
    return true;
}

std::string& cellOf(ThresholdTable& table, int field) {
    if (field == 24) return table.radialAngleCorrection;
    const auto row = static_cast<std::size_t>(field / 3);
    switch (field % 3) {
        case 0:
            return table.circularity[row];
        case 1:
            return table.areaRatio[row];
        default:
            return table.circleOccupancy[row];
    }
}

}  // namespace

std::string ThresholdFile::formatNumber(double value) {
    // Fifteen digits of the very largest doubles round up past the double range, and such a file
    // would not load again: write those rounded down instead.
    constexpr double kLargestWritten = 1.79769313486231e308;
    std::array<char, 64> buffer{};
    const double magnitude = std::min(std::fabs(value), kLargestWritten);
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::general, 15)
                         .ptr;
    std::string_view digits(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.remove_prefix(1);
    std::string field(value < 0 ? "-" : " ");
    field += digits;
    field += ' ';
    return field;
}

std::string ThresholdFile::format(const ThresholdTable& table) {
    std::string text;
    for (std::size_t c = 0; c < AreaClass::kCount; ++c) {
        text += formatNumber(ParseNumber(table.circularity[c]));
        text += formatNumber(ParseNumber(table.areaRatio[c]));
        text += formatNumber(ParseNumber(table.circleOccupancy[c]));
        text += "\r\n";
    }
    text += formatNumber(ParseNumber(table.radialAngleCorrection));
    text += table.andSelected ? "True" : "False";
    text += "\r\n";
    return text;
}

Result<ThresholdTable> ThresholdFile::read(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Fault{"ファイルを開けません（" + Messages::fileReason(errno) + "）。", {}};
    }
    std::string content;
    std::array<char, 65536> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        if (content.size() + got > kLargestFile) {
            std::fclose(file);
            return Fault{"ファイルが大きすぎます（設定ファイルは " +
                             std::to_string(kLargestFile / (std::size_t{1024} * 1024)) +
                             " MiB まで）。",
                         {}};
        }
        content.append(buffer.data(), got);
    }
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) return Fault{"ファイルを読めません（" + Messages::fileReason(error) + "）。", {}};
    return parse(content);
}

Result<ThresholdTable> ThresholdFile::parse(std::string_view content) {
    ThresholdTable table;
    // Editors on some systems start a UTF-8 file with a byte order mark; it is no field.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (content.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        content.remove_prefix(kByteOrderMark.size());
    }
    std::string_view field;
    for (int f = 0; f < kFieldCount; ++f) {
        if (!nextField(content, field)) {
            return Fault{"項目が " + std::to_string(f) + " 個しかありません（" +
                             std::to_string(kFieldCount) + " 個必要です）。",
                         {}};
        }
        if (f == kFieldCount - 1) {
            if (!readFlag(field, table.andSelected)) {
                return Fault{fieldFault(f + 1, field, "True、False または数値"), {}};
            }
            continue;
        }
        double value = 0;
        if (!NumberSyntax::convert(field, value)) {
            return Fault{fieldFault(f + 1, field, "数値"), {}};
        }
        cellOf(table, f) = numberText(value);
    }
    return table;
}
