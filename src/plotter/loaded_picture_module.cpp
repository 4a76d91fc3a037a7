#include "plotter/loaded_picture_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <vector>

#include "text/messages.h"

#ifndef QUENDRA_MODULE_FOLDER
#define QUENDRA_MODULE_FOLDER "../lib/quendra"
#endif

namespace {

constexpr const char* kModuleName = "quendra-pictures.so";

// The folder the running program lies in, with its slash; empty when it cannot be told.
std::string programFolder() {
    std::array<char, 4096> path{};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return {};
    const std::string program(path.data(), static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

}  // namespace

PictureModule* LoadedPictureModule::module() {
    std::call_once(loading_, [this] {
        const std::string folder = programFolder();
        // Beside the program in a build, in its library folder once installed.
        const std::vector<std::string> places{folder + kModuleName,
                                              folder + QUENDRA_MODULE_FOLDER "/" + kModuleName};
        // The reason told is that of a module that is there but would not load, else that of
        // the installed place.
        std::string reason;
        bool found = false;
        for (const std::string& place : places) {
            void* handle = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                const std::string error = ::dlerror();
                const bool there = ::access(place.c_str(), F_OK) == 0;
                if (!found) reason = error;
                found = found || there;
                continue;
            }
            using Entry = PictureModule* (*)();
            if (auto* entry = reinterpret_cast<Entry>(::dlsym(handle, kEntry))) {
                module_ = entry();
                return;
            }
            reason = ::dlerror();
        }
        problem_ = "写真と PNG を扱う部品「" + Messages::shownName(places.back()) +
                   "」を読み込めません（" + reason + "）。";
    });
    return module_;
}

std::string LoadedPictureModule::problem() {
    module();
    return problem_;
}

bool LoadedPictureModule::isPicture(const std::string& path) {
    // Without the module a file that starts as a picture is taken for one, so that reading it
    // says what is missing instead of failing as a star list.
    PictureModule* loaded = module();
    return loaded == nullptr || loaded->isPicture(path);
}

std::unique_ptr<StarSource> LoadedPictureModule::open(const std::string& path, Format format,
                                                      const DetectionSettings& settings,
                                                      DetectionCache* cache, RunMonitor* monitor,
                                                      Fault& fault) {
    PictureModule* loaded = module();
    if (loaded == nullptr) {
        fault = {problem_, {}};
        return nullptr;
    }
    return loaded->open(path, format, settings, cache, monitor, fault);
}

std::optional<PictureSize> LoadedPictureModule::size(const std::string& path, Format format) {
    PictureModule* loaded = module();
    if (loaded == nullptr) return std::nullopt;
    return loaded->size(path, format);
}

bool LoadedPictureModule::writePng(const RasterSurface& plot, const std::string& path,
                                   const std::function<void(std::string_view)>& write,
                                   Fault& fault) {
    PictureModule* loaded = module();
    if (loaded == nullptr) {
        fault = {problem_, {}};
        return false;
    }
    return loaded->writePng(plot, path, write, fault);
}

std::string LoadedPictureModule::decimalSeparator() {
    PictureModule* loaded = module();
    return loaded == nullptr ? "." : loaded->decimalSeparator();
}
