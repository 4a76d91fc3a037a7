#pragma once

#include <string>
#include <vector>

// The outside libraries the photographs are read and measured with, as the running program has
// them loaded: what an about box or a bug report names.
class PhotoLibraries {
public:
    struct Version {
        std::string name;
        std::string version;

        bool operator==(const Version&) const = default;
    };

    // One line per library, in the order a reader of the about box expects them.
    static std::vector<Version> versions();
};
