#include "system/pixel_memory.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void PixelMemory::Release::operator()(std::uint8_t* bytes) const {
    PixelMemory::free(bytes);
}

void PixelMemory::free(void* bytes) {
    std::free(bytes);
}

bool PixelMemory::allocate(std::size_t bytes) {
    bytes_.reset();
    size_ = 0;
    if (bytes == 0) return true;
    // Small plots (tests, thumbnails) need no page of their own.
    const bool huge = bytes >= kHugePage;
    const std::size_t alignment = huge ? kHugePage : alignof(std::max_align_t);
    if (bytes > SIZE_MAX - alignment) return false;
    const std::size_t rounded = (bytes + alignment - 1) / alignment * alignment;
    void* memory = std::aligned_alloc(alignment, rounded);
    if (memory == nullptr) return false;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (huge) ::madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    bytes_.reset(static_cast<std::uint8_t*>(memory));
    size_ = bytes;
    return true;
}
