#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// A file a run reads, opened once. Its first bytes, which tell what kind of file it is, are read
// at the opening and kept; a reader then reads them first and goes on from the same opening. So
// a pipe or a FIFO, which can be read only once, reads as a file does.
class InputFile {
public:
    static constexpr std::size_t kHeadBytes = 4096;

    InputFile() = default;
    ~InputFile();
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens the file and reads its head; false (with the system's error number in error()) when
    // it cannot be opened.
    bool open(const std::string& path);

    const std::string& path() const { return path_; }
    int error() const { return error_; }
    // Up to kHeadBytes: fewer only where the file ends or could not be read further.
    std::string_view head() const { return head_; }
    // True when the reading of the head failed (a folder, an I/O error).
    bool readFailed() const { return readFailed_; }
    // A regular file can be opened again by its name; a pipe, a FIFO or a device cannot be
    // counted on to give the same bytes twice.
    bool isRegular() const { return regular_; }

    // The opened stream, after the head; the caller closes it.
    std::FILE* take();
    // The whole file into bytes: the head, then the rest read to its end. 0, or the system's
    // error number; EFBIG when it holds more than most bytes.
    int readWhole(std::string& bytes, std::size_t most);

private:
    void close();

    std::string path_;
    std::FILE* file_ = nullptr;
    std::string head_;
    int error_ = 0;
    bool readFailed_ = false;
    bool regular_ = false;
};
