#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, file permission bits bind this process even when it runs as root (as tests do
// in containers and CI): the capabilities that override them are dropped from the effective set
// and restored afterwards. Without it a read-only folder would not refuse root's writes.
class FilePermissionsEnforced {
public:
    FilePermissionsEnforced() {
        if (!get(saved_)) return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~(bit(CAP_DAC_OVERRIDE) | bit(CAP_DAC_READ_SEARCH));
        dropped_ = set(reduced);
    }
    ~FilePermissionsEnforced() {
        if (dropped_) set(saved_);
    }
    FilePermissionsEnforced(const FilePermissionsEnforced&) = delete;
    FilePermissionsEnforced& operator=(const FilePermissionsEnforced&) = delete;

    // False when root still overrides permissions (the capabilities could not be dropped).
    bool active() const { return dropped_ || ::geteuid() != 0; }

private:
    static unsigned bit(int capability) { return 1u << capability; }
    static bool get(__user_cap_data_struct (&data)[2]) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capget, &header, data) == 0;
    }
    static bool set(__user_cap_data_struct (&data)[2]) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capset, &header, data) == 0;
    }

    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};
