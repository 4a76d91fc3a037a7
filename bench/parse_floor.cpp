// parse-floor: reads every number of a star list with std::from_chars and does nothing else.
// It is the floor the plotter is measured against: the least any reader must do with the file.
//   parse-floor FILE
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kNumberRoom = 128;

bool isSeparator(char c) {
    return c == ',' || c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: parse-floor FILE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<char> buffer(1 << 16);
    std::size_t kept = 0;  // bytes of an unfinished number carried to the next block
    bool header = true;
    long long numbers = 0;
    double sum = 0;
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
    std::printf("%lld numbers, sum %.17g\n", numbers, sum);
    return 0;
}
