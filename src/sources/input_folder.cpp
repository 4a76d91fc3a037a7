#include "sources/input_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "text/messages.h"

namespace {

// Star lists, catalogs, FITS (also compressed), the pictures Qt reads and camera raw files.
constexpr std::string_view kEndings[] = {
    ".txt", ".cat",  ".fits", ".fit",  ".fts", ".fz",  ".fits.gz", ".fit.gz", ".fts.gz", ".png",
    ".tif", ".tiff", ".jpg",  ".jpeg", ".bmp", ".gif", ".webp",    ".cr2",    ".cr3",    ".crw",
    ".nef", ".nrw",  ".arw",  ".srf",  ".sr2", ".raf", ".orf",     ".rw2",    ".pef",    ".dng",
    ".3fr", ".iiq",  ".erf",  ".mef",  ".mos", ".x3f", ".kdc",     ".dcr",    ".srw",    ".rwl"};

std::string lower(std::string_view text) {
    std::string low(text);
    std::transform(low.begin(), low.end(), low.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return low;
}

}  // namespace

bool InputFolder::isInputName(const std::string& name) {
    const std::string low = lower(std::filesystem::path(name).filename().string());
    // A hidden file (".frame.fits.part", an editor's backup) is no frame yet.
    if (low.empty() || low.front() == '.') return false;
    return std::any_of(std::begin(kEndings), std::end(kEndings), [&](std::string_view ending) {
        return low.size() > ending.size() && low.ends_with(ending);
    });
}

Result<std::vector<std::string>> InputFolder::list(const std::string& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    std::vector<std::string> inputs;
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code kindError;
        if (!entries->is_regular_file(kindError)) continue;
        if (isInputName(entries->path().filename().string())) {
            inputs.push_back(entries->path().string());
        }
    }
    if (error) {
        return Fault{"フォルダ「" + Messages::shownName(folder) + "」を読めません（" +
                         Messages::fileReason(error.value()) + "）。",
                     {}};
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}
