#pragma once

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

// The parse-only floor: every number of a star list read with std::from_chars, nothing else, the
// least any reader of the file must do. Returns how many numbers it read (-1 when the file cannot
// be opened) and adds them up into `sum`, so that none of the work can be left out.
inline long long parseFloor(const char* path, double& sum) {
    constexpr std::size_t kNumberRoom = 128;
    const auto isSeparator = [](char c) {
        return c == ',' || c == '\r' || c == '\n' || c == ' ' || c == '\t';
    };
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return -1;
    std::vector<char> buffer(1 << 16);
    std::size_t kept = 0;  // bytes of an unfinished number carried to the next block
    bool header = true;
    long long numbers = 0;
    for (;;) {
        const std::size_t got = std::fread(buffer.data() + kept, 1, buffer.size() - kept, file);
        const bool last = got == 0;
        const char* p = buffer.data();
        const char* end = buffer.data() + kept + got;
        if (header) {
            while (p < end && *p != '\n') ++p;
            if (p < end) header = false;
        }
        // Numbers are short: stop a little before the end of the block so that none is cut.
        const char* safe = last ? end : end - std::min<std::size_t>(kNumberRoom, kept + got);
        for (;;) {
            while (p < safe && isSeparator(*p)) ++p;
            if (p >= safe) break;
            double value = 0;
            const char* stop = std::from_chars(p, end, value).ptr;
            p = stop == p ? p + 1 : stop;  // not a number: step over it
            sum += value;
            ++numbers;
        }
        kept = static_cast<std::size_t>(end - p);
        std::memmove(buffer.data(), p, kept);
        if (last) break;
    }
    std::fclose(file);
    return numbers;
}
