// generate-truth: writes the frames of the truth set into a folder, each as a 16-bit FITS file
// and a CSV of its stars (what each is, where, how bright), named by kind and number.
//   generate-truth FOLDER [--seed N] [--frames N] [--fwhm LOW,HIGH] [--profile gauss|moffat|both]
//                         [--second LOW] [--sn LOW,HIGH]
#include <filesystem>
#include <iostream>
#include <string>

#include "truth_set.h"

namespace {

bool pair(const std::string& text, double& low, double& high) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    low = std::stod(text.substr(0, comma));
    high = std::stod(text.substr(comma + 1));
    return low > 0 && high >= low;
}

bool read(int argc, char** argv, std::filesystem::path& folder, TruthSet::Options& options) {
    if (argc < 2 || argv[1][0] == '-') return false;
    folder = argv[1];
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--seed") {
            options.seed = std::stoull(value);
        } else if (name == "--frames") {
            options.framesPerKind = std::stoi(value);
        } else if (name == "--fwhm") {
            if (!pair(value, options.fwhmLow, options.fwhmHigh)) return false;
        } else if (name == "--sn") {
            if (!pair(value, options.snLow, options.snHigh)) return false;
        } else if (name == "--second") {
            options.secondLow = std::stod(value);
        } else if (name == "--profile") {
            options.profiles = value == "gauss"    ? 1
                               : value == "moffat" ? 2
                               : value == "both"   ? 3
                                                   : 0;
            if (options.profiles == 0) return false;
        } else {
            return false;
        }
    }
    return argc % 2 == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path folder;
    TruthSet::Options options;
    try {
        if (!read(argc, argv, folder, options)) {
            std::cerr << "usage: generate-truth FOLDER [--seed N] [--frames N] [--fwhm LOW,HIGH]\n"
                         "       [--profile gauss|moffat|both] [--second LOW] [--sn LOW,HIGH]\n";
            return 2;
        }
    } catch (const std::exception&) {
        std::cerr << "generate-truth: a value is not a number\n";
        return 2;
    }
    std::filesystem::create_directories(folder);
    int n = 0;
    for (const TruthSky::Plan& plan : TruthSet::plans(options)) {
        const TruthSky sky(plan);
        const std::string name = std::string(TruthSky::frameName(plan.frame)) + "-" +
                                 std::to_string(plan.apart).substr(0, 3) + "-" +
                                 std::to_string(n++);
        if (!sky.writeFits((folder / (name + ".fits")).string()) ||
            !sky.writeTruth((folder / (name + ".csv")).string())) {
            std::cerr << "generate-truth: cannot write " << name << '\n';
            return 1;
        }
    }
    return 0;
}
