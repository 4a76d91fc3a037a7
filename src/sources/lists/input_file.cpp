#include "sources/lists/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

InputFile::~InputFile() {
    close();
}

InputFile::InputFile(InputFile&& other) noexcept {
    *this = std::move(other);
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        file_ = std::exchange(other.file_, nullptr);
        head_ = std::move(other.head_);
        error_ = other.error_;
        readFailed_ = other.readFailed_;
        regular_ = other.regular_;
    }
    return *this;
}

void InputFile::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool InputFile::open(const std::string& path) {
    close();
    path_ = path;
    head_.clear();
    readFailed_ = false;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        error_ = errno;
        regular_ = false;
        return false;
    }
    error_ = 0;
    struct stat info {};
    regular_ = ::fstat(::fileno(file_), &info) == 0 && S_ISREG(info.st_mode);
    head_.resize(kHeadBytes);
    head_.resize(std::fread(head_.data(), 1, head_.size(), file_));
    readFailed_ = std::ferror(file_) != 0;
    return true;
}

std::FILE* InputFile::take() {
    return std::exchange(file_, nullptr);
}

int InputFile::readWhole(std::string& bytes, std::size_t most) {
    if (file_ == nullptr) return error_ != 0 ? error_ : EBADF;
    bytes = head_;
    constexpr std::size_t kStep = std::size_t{1} << 20;
    for (;;) {
        if (bytes.size() > most) return EFBIG;
        const std::size_t before = bytes.size();
        bytes.resize(before + kStep);
        const std::size_t got = std::fread(bytes.data() + before, 1, kStep, file_);
        bytes.resize(before + got);
        if (got < kStep) break;
    }
    if (std::ferror(file_) != 0) return EIO;
    return bytes.size() > most ? EFBIG : 0;
}
