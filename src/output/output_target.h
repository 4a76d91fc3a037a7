#pragma once

#include <string>

// Where an output's bytes end up. A name that is a symbolic link (or a chain of them) leads to the
// file at its end, which may not exist yet: that file is the one replaced, and the links stay.
// A regular file, or a new one, is a file; a folder is a folder; anything else (a device, a pipe,
// a terminal, and the process's own descriptors such as /dev/stdout or /proc/self/fd/1, whatever
// they lead to) is a device, written where it is and never replaced.
class OutputTarget {
public:
    enum class Kind { File, Folder, Device };

    static OutputTarget of(const std::string& name);

    Kind kind() const { return kind_; }
    // File: the file at the end of the links; Folder: the folder; Device: the name as given.
    const std::string& path() const { return path_; }
    // The folder a file is or would be written in, its links resolved, as an absolute name;
    // empty when that folder does not exist.
    std::string folder() const;
    // The process's own descriptor a device name leads to (1 for /dev/stdout), written through
    // a copy of it so that what the program writes there stays in order; -1 for any other.
    int descriptor() const { return descriptor_; }
    // What names the same file for every spelling of it: an existing file by its device and
    // inode, a new one by its resolved folder and name; empty for a device.
    std::string identity() const;

private:
    OutputTarget(Kind kind, std::string path, int descriptor = -1)
        : kind_(kind), path_(std::move(path)), descriptor_(descriptor) {}

    Kind kind_;
    std::string path_;
    int descriptor_;
};
