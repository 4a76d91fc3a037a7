#pragma once

#include <string>
#include <vector>

#include "text/result.h"

// The inputs in a folder, as a night of frames holds them: the files whose names end as the
// inputs Quendra reads do (star lists ".txt", catalogs ".cat", FITS, pictures, camera raw files),
// in the order of their names. Subfolders, among them the `rejected` folder of a night's
// rejected frames, are not looked into. What a file holds is still told by its content when it
// is run; the name only picks the files of a folder that are meant to be read.
class InputFolder {
public:
    // The folder rejected frames are moved into, beside them.
    static constexpr const char* kRejected = "rejected";

    // Whether a file of this name is taken from a folder (any case: "M42_001.FITS").
    static bool isInputName(const std::string& name);
    // Every input in the folder, as full paths sorted by name; the fault when the folder cannot
    // be read.
    static Result<std::vector<std::string>> list(const std::string& folder);
};
