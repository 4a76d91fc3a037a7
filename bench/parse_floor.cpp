// parse-floor: reads every number of a star list with std::from_chars and does nothing else.
// It is the floor the plotter is measured against: the least any reader must do with the file.
//   parse-floor FILE
#include "parse_floor.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: parse-floor FILE\n");
        return 2;
    }
    double sum = 0;
    const long long numbers = parseFloor(argv[1], sum);
    if (numbers < 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("%lld numbers, sum %.17g\n", numbers, sum);
    return 0;
}
