// truth-bench: Quendra's reading, detection and classification over the frames of the truth set,
// and what it called each kind of star, for the startup limits and both lens presets.
//   truth-bench [--seed N] [--frames N] [--fwhm LOW,HIGH] [--profile gauss|moffat|both]
//               [--second LOW] [--sn LOW,HIGH] [--deblend-contrast X] [--filter gauss|none]
//               [--by fwhm|sn|profile|second] [--keep FOLDER]
// Prints Markdown: the settings, one table per set of limits, and the targets for the startup
// limits. --by splits each truth by a range of the star's own values (the startup limits only);
// --keep leaves the frames (FITS) there instead of in a folder that is removed.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "doublestar/lens_preset.h"
#include "plot/plotting_run.h"
#include "raster/raster_surface.h"
#include "sources/star_sources.h"
#include "system/thread_budget.h"
#include "truth_set.h"
#include "truth_tally.h"

namespace {

struct Options {
    TruthSet::Options set;
    DetectionSettings detection;
    std::string by;
    std::string keep;
};

bool pair(const std::string& text, double& low, double& high) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    low = std::stod(text.substr(0, comma));
    high = std::stod(text.substr(comma + 1));
    return low > 0 && high >= low;
}

bool option(Options& o, const std::string& name, const std::string& value) {
    if (name == "--fwhm") return pair(value, o.set.fwhmLow, o.set.fwhmHigh);
    if (name == "--sn") return pair(value, o.set.snLow, o.set.snHigh);
    if (name == "--profile") {
        o.set.profiles = value == "gauss" ? 1 : value == "moffat" ? 2 : value == "both" ? 3 : 0;
        return o.set.profiles != 0;
    }
    if (name == "--seed") {
        o.set.seed = std::stoull(value);
    } else if (name == "--frames") {
        o.set.framesPerKind = std::stoi(value);
    } else if (name == "--second") {
        o.set.secondLow = std::stod(value);
    } else if (name == "--deblend-contrast") {
        o.detection.deblendContrast = std::stod(value);
    } else if (name == "--filter") {
        o.detection.filter = value == "gauss";
        return value == "gauss" || value == "none";
    } else if (name == "--by") {
        o.by = value;
    } else if (name == "--keep") {
        o.keep = value;
    } else {
        return false;
    }
    return true;
}

std::string range(double value, std::initializer_list<double> edges, const char* unit) {
    double low = 0;
    for (const double edge : edges) {
        if (value < edge) break;
        low = edge;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%s %g+", unit, low);
    return text;
}

TruthTally::Bin binOf(const std::string& by) {
    if (by == "fwhm") {
        return [](const TruthSky&, const TruthSky::Star& s) {
            return range(s.fwhm, {2, 3, 4, 5}, "FWHM");
        };
    }
    if (by == "sn") {
        return [](const TruthSky&, const TruthSky::Star& s) {
            return range(s.peakSn, {10, 30, 100, 300, 1000}, "S/N");
        };
    }
    if (by == "profile") {
        return [](const TruthSky& sky, const TruthSky::Star&) {
            return std::string(sky.plan().beta > 0 ? "Moffat" : "Gaussian");
        };
    }
    if (by == "second") {
        return [](const TruthSky&, const TruthSky::Star& s) {
            return range(s.second, {0.25, 0.5, 0.75}, "r");
        };
    }
    return nullptr;
}

// Every drawn star and what it was called.
class Keeper : public StarObserver {
public:
    void onStar(const StarRecord& star, const Classification& c) override {
        drawn.push_back({star, c.kind});
    }
    std::vector<TruthTally::Drawn> drawn;
};

struct Limits {
    const char* name;
    ThresholdTable table;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        for (int i = 1; i < argc; i += 2) {
            if (i + 1 >= argc || !option(options, argv[i], argv[i + 1])) throw std::exception();
        }
    } catch (const std::exception&) {
        std::cerr << "usage: truth-bench [--seed N] [--frames N] [--fwhm LOW,HIGH] "
                     "[--profile gauss|moffat|both]\n"
                     "       [--second LOW] [--sn LOW,HIGH] [--deblend-contrast X] "
                     "[--filter gauss|none]\n       [--by fwhm|sn|profile|second] "
                     "[--keep FOLDER]\n";
        return 2;
    }
    const std::filesystem::path folder =
        options.keep.empty()
            ? std::filesystem::temp_directory_path() / ("truth-bench-" + std::to_string(::getpid()))
            : std::filesystem::path(options.keep);
    std::filesystem::create_directories(folder);
    const std::vector<Limits> limits{{"startup limits (= 望遠)", LensPreset::initial()},
                                     {"広角 (wide angle)", LensPreset::wideAngle()},
                                     {"望遠 (telephoto)", LensPreset::telephoto()}};
    std::vector<TruthTally> tallies;
    for (std::size_t k = 0; k < limits.size(); ++k) {
        tallies.emplace_back(k == 0 ? binOf(options.by) : nullptr);
    }
    DetectionCache cache;
    const StarSourceOpener open = StarSources::opener(options.detection, &cache);
    // The objects are measured on every core, as quendra-plot measures them (the main thread
    // being one).
    ThreadBudget threads(ThreadBudget::cores() - 1);
    const std::vector<TruthSky::Plan> plans = TruthSet::plans(options.set);
    const std::vector<TruthSet::FrameKind> kinds = TruthSet::kinds();
    for (std::size_t n = 0; n < plans.size(); ++n) {
        const TruthSky sky(plans[n]);
        const std::string kind =
            kinds[n / static_cast<std::size_t>(options.set.framesPerKind)].name;
        const std::string path = (folder / ("frame-" + std::to_string(n) + ".fits")).string();
        if (!sky.writeFits(path)) {
            std::cerr << "truth-bench: cannot write " << path << '\n';
            return 1;
        }
        for (std::size_t k = 0; k < limits.size(); ++k) {
            PlotRequest request;
            request.controls.width = std::to_string(plans[n].width);
            request.controls.height = std::to_string(plans[n].height);
            request.thresholds = limits[k].table;
            request.starFile = path;
            Keeper keeper;
            StarObserver* const observers[] = {&keeper};
            RasterSurface surface;
            const RunResult result =
                runPlot(request, open, surface, {.observers = observers, .threads = &threads});
            if (!result.done()) {
                std::cerr << "truth-bench: " << result.fault().message << '\n';
                return 1;
            }
            tallies[k].add(kind, sky, keeper.drawn);
        }
        if (options.keep.empty()) std::filesystem::remove(path);
    }
    if (options.keep.empty()) std::filesystem::remove_all(folder);

    const TruthSet::Options& s = options.set;
    std::printf(
        "Truth set: seed %llu, %d frames of each kind (%zu frames), FWHM %g to %g px, %s, "
        "second images %g to 1 of the first's flux, peaks %g to %g times the sky noise; "
        "detection: deblending contrast %g, filter %s.\n\n",
        static_cast<unsigned long long>(s.seed), s.framesPerKind, plans.size(), s.fwhmLow,
        s.fwhmHigh,
        s.profiles == 1   ? "Gaussian"
        : s.profiles == 2 ? "Moffat"
                          : "Gaussian and Moffat",
        s.secondLow, s.snLow, s.snHigh, options.detection.deblendContrast,
        options.detection.filter ? "gauss (5 x 5, FWHM 2)" : "none");
    for (std::size_t k = 0; k < limits.size(); ++k) {
        std::printf("### %s\n\n%s\n", limits[k].name, tallies[k].table().c_str());
    }
    const TruthTally& start = tallies[0];
    std::printf(
        "Targets (startup limits): good tracking called double %.1f %% (at most 5), "
        "doubled 1.0 FWHM %.1f %% (at least 70), doubled 1.5 FWHM %.1f %% (at least 80), "
        "trailed 1.5 FWHM %.1f %% (at least 80), mixed as the truth %.1f %% (at least "
        "85); crowded good frames called double %.1f %% (no target)\n",
        start.share("good tracking", false), start.share("doubled 1.0 FWHM", false),
        start.share("doubled 1.5 FWHM", false), start.share("trailed 1.5 FWHM", false),
        start.share("mixed", true), start.share("good, crowded", false));
    return 0;
}
