#include "output/output_target.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>

namespace {

// As many links as the system itself follows before it gives up.
constexpr int kMostLinks = 40;

// The folder part of a name with its slash ("a/b/" of "a/b/c"), empty for a bare name.
std::string folderPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string readLink(const std::string& path) {
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return {};
    target.resize(static_cast<std::size_t>(length));
    return target;
}

// A link kept by the system for a process (/proc/self/fd/1, /dev/stdout leads there): what it
// leads to is an open descriptor, which must be written through, never replaced by name.
bool isProcessLink(const std::string& link) {
    const std::string folder = folderPart(link);
    struct statfs info {};
    return ::statfs(folder.empty() ? "." : folder.c_str(), &info) == 0 &&
           info.f_type == PROC_SUPER_MAGIC;
}

// The descriptor of this process a link names (/proc/self/fd/1, /dev/fd/1); -1 for any other.
int ownDescriptor(const std::string& link) {
    for (const std::string& folder :
         {std::string("/proc/self/fd/"), std::string("/proc/thread-self/fd/"),
          "/proc/" + std::to_string(::getpid()) + "/fd/", std::string("/dev/fd/")}) {
        if (link.size() <= folder.size() || link.compare(0, folder.size(), folder) != 0 ||
            link.size() - folder.size() > 9) {
            continue;
        }
        const std::string number = link.substr(folder.size());
        if (number.find_first_not_of("0123456789") != std::string::npos) return -1;
        return std::stoi(number);
    }
    return -1;
}

std::string resolved(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : std::string();
}

}  // namespace

OutputTarget OutputTarget::of(const std::string& name) {
    std::string current = name;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat info {};
        // Not there (or not reachable): a new file, whose opening says what is wrong.
        if (::lstat(current.c_str(), &info) != 0) return {Kind::File, current};
        if (S_ISREG(info.st_mode)) return {Kind::File, current};
        if (S_ISDIR(info.st_mode)) return {Kind::Folder, current};
        if (!S_ISLNK(info.st_mode)) return {Kind::Device, name};
        if (isProcessLink(current)) return {Kind::Device, name, ownDescriptor(current)};
        std::string target = readLink(current);
        if (target.empty()) return {Kind::File, current};
        if (target.front() == '/') {
            current = std::move(target);
        } else {
            current = folderPart(current).append(target);
        }
    }
    return {Kind::Device, name};  // a loop of links: opening it says so
}

std::string OutputTarget::folder() const {
    if (kind_ != Kind::File) return {};
    const std::string folder = folderPart(path_);
    return resolved(folder.empty() ? "." : folder);
}

std::string OutputTarget::identity() const {
    if (kind_ == Kind::Device) return {};
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0) {
        return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    }
    if (const std::string in = folder(); !in.empty()) {
        return in.back() == '/' ? in + namePart(path_) : in + "/" + namePart(path_);
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path_, error);
    return (error ? std::filesystem::path(path_) : absolute).lexically_normal().string();
}
