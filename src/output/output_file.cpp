#include "output/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "output/unfinished_files.h"
#include "text/messages.h"

namespace {

// Read once, before any thread could be writing: umask() can only be read by setting it.
mode_t processUmask() {
    static const mode_t mask = [] {
        const mode_t old = ::umask(0);
        ::umask(old);
        return old;
    }();
    return mask;
}

// A new file gets the mode an ordinary create would give it; a replaced file keeps its own.
mode_t modeFor(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 07777;
    return 0666 & ~processUmask();
}

// A plot's bitmap is 10 MB: written in large blocks, not 4 KiB at a time.
constexpr std::size_t kBuffer = std::size_t{1} << 18;

std::string temporaryPattern(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".XXXXXX";
}

}  // namespace

bool OutputFile::isDevice(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

OutputFile::OutputFile(std::string path, std::string what)
    : path_(std::move(path)), what_(std::move(what)) {}

OutputFile::~OutputFile() {
    discard();
}

Fault OutputFile::failure(const char* doing, int errorNumber) const {
    return {what_ + "「" + Messages::shownName(path_) + "」を" + doing + "（" +
                Messages::fileReason(errorNumber) + "）。",
            {}};
}

Result<> OutputFile::open() {
    discard();
    writeError_ = 0;
    if (isDevice(path_)) {
        file_ = std::fopen(path_.c_str(), "wb");
        if (file_ == nullptr) return failure("作れません", errno);
        useLargeBuffer();
        return {};
    }
    std::string pattern = temporaryPattern(path_);
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        // The folder decides: it is missing, read-only or not ours. Say so of the target.
        return failure("作れません", errno);
    }
    ::fchmod(descriptor, modeFor(path_));
    file_ = ::fdopen(descriptor, "wb");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(descriptor);
        ::unlink(pattern.c_str());
        return failure("作れません", error);
    }
    useLargeBuffer();
    temporary_ = std::move(pattern);
    unfinishedSlot_ = UnfinishedFiles::add(temporary_);
    return {};
}

void OutputFile::useLargeBuffer() {
    // The C library sizes a buffer it makes itself by the disk's block, so it is given one.
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBuffer);
    std::setvbuf(file_, buffer_.get(), _IOFBF, kBuffer);
}

void OutputFile::write(std::string_view bytes) {
    if (file_ == nullptr || writeError_ != 0 || bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        writeError_ = errno != 0 ? errno : EIO;
    }
}

Result<> OutputFile::commit() {
    if (file_ == nullptr) return failure("書けません", EBADF);
    if (writeError_ == 0 && std::fflush(file_) != 0) writeError_ = errno;
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (writeError_ == 0 && closed != 0) writeError_ = errno;
    if (writeError_ != 0) {
        const Fault fault = failure("書けません", writeError_);
        discard();
        return fault;
    }
    if (!temporary_.empty() && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const Fault fault = failure("保存できません", errno);
        discard();
        return fault;
    }
    forget();
    return {};
}

void OutputFile::discard() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    forget();
}

void OutputFile::forget() {
    UnfinishedFiles::remove(unfinishedSlot_);
    unfinishedSlot_ = -1;
    temporary_.clear();
}
