#pragma once

#include <mutex>
#include <string>

// One of quendra-plot's modules, loaded on first use from beside the program or from the library
// folder it is installed with, and never unloaded.
class ModuleLoader {
public:
    // file: "quendra-images.so"; entry: the name of its one exported function, which returns
    // the module's instance; what: what it is for, as messages say it ("写真を読むための").
    ModuleLoader(std::string file, std::string entry, std::string what);

    // The entry's instance, or nullptr (see problem()) when the module cannot be loaded.
    void* instance();
    // Why the module could not be loaded, naming it and its place; empty while it could.
    const std::string& problem();

private:
    void load();

    std::string file_;
    std::string entry_;
    std::string what_;
    std::once_flag loading_;
    void* instance_ = nullptr;
    std::string problem_;
};
