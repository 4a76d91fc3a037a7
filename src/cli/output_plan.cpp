#include "cli/output_plan.h"

#include <filesystem>
#include <map>

#include "output/output_target.h"
#include "sources/input_folder.h"
#include "text/messages.h"

namespace {

constexpr std::string_view kName = "{name}";

// What names the same file for every spelling of it ("./a", a hard link, a link to it or to its
// folder); empty for a device or a pipe, which are never the same file in this sense: writing
// twice to /dev/null is no mistake.
std::string keyOf(const std::string& path) {
    return OutputTarget::of(path).identity();
}

std::string named(const std::string& path) {
    return "「" + Messages::shownName(path) + "」";
}

// A name no run could write, known before anything is read: a folder, or a file in a folder
// that is not there.
std::string unwritable(const std::string& path) {
    const OutputTarget target = OutputTarget::of(path);
    if (target.kind() == OutputTarget::Kind::Folder) {
        return "quendra-plot: 出力" + named(path) +
               "はフォルダです。ファイルの名前にしてください。\n";
    }
    if (target.kind() == OutputTarget::Kind::File && target.folder().empty()) {
        const std::string folder = std::filesystem::path(target.path()).parent_path().string();
        return "quendra-plot: 出力" + named(path) + "のフォルダ" +
               named(folder.empty() ? "." : folder) + "がありません。\n";
    }
    return {};
}

}  // namespace

std::string OutputPlan::stem(const std::string& input) {
    std::string name = std::filesystem::path(input).filename().string();
    for (const char* packed : {".gz", ".fz"}) {
        const std::string_view end(packed);
        if (name.size() > end.size() &&
            name.compare(name.size() - end.size(), end.size(), end) == 0) {
            name.resize(name.size() - end.size());
        }
    }
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string OutputPlan::expand(const std::string& pattern, const std::string& input) {
    std::string name = pattern;
    const std::string stemmed = stem(input);
    for (std::size_t at = name.find(kName); at != std::string::npos;
         at = name.find(kName, at + stemmed.size())) {
        name.replace(at, kName.size(), stemmed);
    }
    return name;
}

OutputNames OutputPlan::namesFor(const PlotJob& job, const std::string& input) {
    return {expand(job.outputs.image, input),   expand(job.outputs.stars, input),
            expand(job.outputs.regions, input), expand(job.outputs.saveList, input),
            expand(job.outputs.map, input),     expand(job.outputs.mapJson, input)};
}

// A file written into the watched folder under an input's name would come back as a frame.
std::string OutputPlan::checkWatch(const PlotJob& job) {
    const OutputNames sample = namesFor(job, "frame.fits");
    const std::pair<const char*, const std::string*> written[] = {
        {"-o", &sample.image},           {"--stars", &sample.stars},
        {"--regions", &sample.regions},  {"--map", &sample.map},
        {"--map-json", &sample.mapJson}, {"--save-list", &sample.saveList},
        {"--summary", &job.summary}};
    for (const auto& [option, path] : written) {
        if (path->empty() || !InputFolder::isInputName(*path)) continue;
        std::filesystem::path folder = std::filesystem::path(*path).parent_path();
        if (folder.empty()) folder = ".";
        std::error_code error;
        if (std::filesystem::equivalent(folder, job.watch, error)) {
            return std::string("quendra-plot: ") + option +
                   " のファイルは監視するフォルダに入り、新しい入力として読まれてしまいます。"
                   "別のフォルダか別の拡張子にしてください。\n";
        }
    }
    return {};
}

std::string OutputPlan::check(const PlotJob& job, std::vector<OutputNames>& perInput) {
    const std::pair<const char*, const std::string*> patterns[] = {
        {"-o", &job.outputs.image},           {"--stars", &job.outputs.stars},
        {"--regions", &job.outputs.regions},  {"--map", &job.outputs.map},
        {"--map-json", &job.outputs.mapJson}, {"--save-list", &job.outputs.saveList}};
    if (job.batch()) {
        for (const auto& [option, pattern] : patterns) {
            if (!pattern->empty() && pattern->find(kName) == std::string::npos) {
                return std::string("quendra-plot: 入力が複数のときは ") + option +
                       " のファイル名に {name} を入れてください（例: -o plots/{name}.png）。\n";
            }
        }
    }
    // Every file that is read, then every file that is written, each by what it names.
    std::map<std::string, std::string> read;
    for (const std::string& input : job.inputs) read.emplace(keyOf(input), input);
    if (!job.thresholdFile.empty()) read.emplace(keyOf(job.thresholdFile), job.thresholdFile);
    read.erase("");
    std::map<std::string, std::string> written;
    const auto claim = [&](const std::string& path) -> std::string {
        if (path.empty()) return {};
        if (std::string error = unwritable(path); !error.empty()) return error;
        const std::string key = keyOf(path);
        if (key.empty()) return {};
        if (const auto input = read.find(key); input != read.end()) {
            return "quendra-plot: 出力" + named(path) + "は入力" + named(input->second) +
                   "と同じファイルです。入力を書き換えないよう、何もせずに終わります。\n";
        }
        if (const auto [other, fresh] = written.emplace(key, path); !fresh) {
            return "quendra-plot: " + named(path) + "には二つの出力" +
                   (other->second == path ? std::string() : "（" + named(other->second) + "）") +
                   "が書かれることになります。出力の名前を分けてください。\n";
        }
        return {};
    };
    perInput.clear();
    for (const std::string& input : job.inputs) {
        OutputNames names = namesFor(job, input);
        for (const std::string* path : {&names.image, &names.stars, &names.regions, &names.saveList,
                                        &names.map, &names.mapJson}) {
            if (std::string error = claim(*path); !error.empty()) return error;
        }
        perInput.push_back(std::move(names));
    }
    return claim(job.summary);
}
