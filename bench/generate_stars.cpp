// generate-stars: writes a reproducible star list for the benchmarks; SIZE gives every star that
// size instead (1000000 makes each star cover the whole plot, the drawing's worst case).
//   generate-stars STARS SEED FILE [SIZE]
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "star_list_generator.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: generate-stars STARS SEED FILE [SIZE]\n";
        return 2;
    }
    StarListGenerator::Options options;
    options.stars = std::stoll(argv[1]);
    options.seed = std::stoull(argv[2]);
    if (argc == 5) options.size = std::stod(argv[4]);
    std::ofstream out(argv[3], std::ios::binary);
    if (!out || !StarListGenerator(options).write(out)) {
        std::cerr << "generate-stars: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}
