#include "output/unfinished_files.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

namespace {

// Slots hold names allocated outside the handler; the handler only reads them and unlinks,
// both of which a signal handler may do.
std::array<std::atomic<char*>, UnfinishedFiles::kSlots> slots{};

}  // namespace

int UnfinishedFiles::add(const std::string& path) {
    char* copy = new char[path.size() + 1];
    std::memcpy(copy, path.c_str(), path.size() + 1);
    for (int i = 0; i < kSlots; ++i) {
        char* expected = nullptr;
        if (slots[static_cast<std::size_t>(i)].compare_exchange_strong(expected, copy)) return i;
    }
    delete[] copy;
    return -1;
}

void UnfinishedFiles::remove(int slot) {
    if (slot < 0) return;
    delete[] slots[static_cast<std::size_t>(slot)].exchange(nullptr);
}

void UnfinishedFiles::removeAll() {
    for (std::atomic<char*>& slot : slots) {
        if (char* path = slot.load(); path != nullptr) ::unlink(path);
    }
}
