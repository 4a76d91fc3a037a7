#include "cli/module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <utility>
#include <vector>

#include "text/messages.h"

#ifndef QUENDRA_MODULE_FOLDER
#define QUENDRA_MODULE_FOLDER "../lib/quendra"
#endif

namespace {

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

ModuleLoader::ModuleLoader(std::string file, std::string entry, std::string what)
    : file_(std::move(file)), entry_(std::move(entry)), what_(std::move(what)) {}

void* ModuleLoader::instance() {
    std::call_once(loading_, [this] { load(); });
    return instance_;
}

const std::string& ModuleLoader::problem() {
    instance();
    return problem_;
}

void ModuleLoader::load() {
    const std::string folder = programFolder();
    // Beside the program in a build, in its library folder once installed.
    const std::vector<std::string> places{folder + file_,
                                          folder + QUENDRA_MODULE_FOLDER "/" + file_};
    // The reason told is that of a module that is there but would not load, else that of the
    // installed place.
    std::string reason;
    bool found = false;
    for (const std::string& place : places) {
        void* handle = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const std::string error = ::dlerror();
            if (!found) reason = error;
            found = found || ::access(place.c_str(), F_OK) == 0;
            continue;
        }
        using Entry = void* (*)();
        if (auto* entry = reinterpret_cast<Entry>(::dlsym(handle, entry_.c_str()))) {
            instance_ = entry();
            return;
        }
        reason = ::dlerror();
        found = true;
    }
    problem_ = what_ + "部品「" + Messages::shownName(places.back()) + "」を読み込めません（" +
               reason + "）。";
}
