#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "text/result.h"

class OutputTarget;

// A file a run writes besides the plot: the per-star table, the regions, a star list, a summary.
// It is written under a temporary name beside its target and put in place only when committed,
// so a stopped run, an interrupt or a full disk leaves an existing file as it was. A name that is
// a link is written through to the file the link leads to, the link kept. Devices and pipes
// (/dev/null, /dev/stdout, a FIFO) are written in place. Names are the system's own bytes.
class OutputFile {
public:
    // what names the kind of file in messages: "画像ファイル", "星の一覧", ...
    OutputFile(std::string path, std::string what);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // A device or a pipe, which is written in place: the safe replace meant for regular files
    // would put a new file where the device was.
    static bool isDevice(const std::string& path);

    Result<> open();
    // Buffered; the first failure is remembered and reported by commit.
    void write(std::string_view bytes);
    // Puts the whole file in place; the fault, the old file kept, when any write failed or the
    // file cannot be put in place: finish, then place.
    Result<> commit();
    // The whole file written and closed under its temporary name; the fault (the file thrown
    // away) when any write failed. Several files are finished before any is placed, so that
    // none replaces an old file unless all were written.
    Result<> finish();
    // Puts a finished file in place.
    Result<> place();
    // Throws the new file away (a stopped run); the old file stays.
    void discard();

    const std::string& path() const { return path_; }

private:
    Fault failure(const char* doing, int errorNumber) const;
    Result<> openDevice(const OutputTarget& target);
    void forget();
    void useLargeBuffer();

    std::string path_;
    std::string what_;
    std::string temporary_;  // empty when written in place
    std::string final_;      // what the temporary file replaces: the end of any links
    int unfinishedSlot_ = -1;
    std::unique_ptr<char[]> buffer_;  // the stream's, so it outlives the stream
    std::FILE* file_ = nullptr;
    int writeError_ = 0;
};
