#include "output/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "output/output_target.h"
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
    return OutputTarget::of(path).kind() == OutputTarget::Kind::Device;
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
    const OutputTarget target = OutputTarget::of(path_);
    switch (target.kind()) {
        case OutputTarget::Kind::Folder:
            return failure("作れません", EISDIR);
        case OutputTarget::Kind::Device:
            return openDevice(target);
        case OutputTarget::Kind::File:
            break;
    }
    // Beside the file at the end of any links, so that it is what the rename replaces.
    std::string pattern = temporaryPattern(target.path());
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        // The folder decides: it is missing, read-only or not ours. Say so of the target.
        return failure("作れません", errno);
    }
    ::fchmod(descriptor, modeFor(target.path()));
    file_ = ::fdopen(descriptor, "wb");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(descriptor);
        ::unlink(pattern.c_str());
        return failure("作れません", error);
    }
    useLargeBuffer();
    temporary_ = std::move(pattern);
    final_ = target.path();
    unfinishedSlot_ = UnfinishedFiles::add(temporary_);
    return {};
}

// Written where it is, never truncated: a device or a pipe as it is, the program's own standard
// output through a copy of its descriptor, so that its bytes and the program's stay in order.
Result<> OutputFile::openDevice(const OutputTarget& target) {
    const int descriptor = target.descriptor() >= 0
                               ? ::fcntl(target.descriptor(), F_DUPFD_CLOEXEC, 0)
                               : ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (descriptor < 0) return failure("作れません", errno);
    file_ = ::fdopen(descriptor, "ab");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(descriptor);
        return failure("作れません", error);
    }
    useLargeBuffer();
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

Result<> OutputFile::finish() {
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
    return {};
}

Result<> OutputFile::place() {
    if (!temporary_.empty() && std::rename(temporary_.c_str(), final_.c_str()) != 0) {
        const Fault fault = failure("保存できません", errno);
        discard();
        return fault;
    }
    forget();
    return {};
}

Result<> OutputFile::commit() {
    if (Result<> finished = finish(); !finished.done()) return finished;
    return place();
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
