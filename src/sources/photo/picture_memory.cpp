#include "sources/photo/picture_memory.h"

#include <unistd.h>

#include "system/pixel_memory.h"

namespace {

double physicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<double>(pages) * static_cast<double>(pageSize)
                                     : 0.0;
}

}  // namespace

bool PictureMemory::fits(int width, int height) {
    return holds(static_cast<double>(width) * height * sizeof(float));
}

bool PictureMemory::holds(double bytes) {
    const double physical = physicalMemory();
    // The detection needs about as much again; beyond the machine's memory it would only swap.
    return !(physical > 0 && 2 * bytes > physical);
}

bool PictureMemory::allocate(GreyImage& image, int width, int height) {
    if (!fits(width, height)) return false;
    // In huge pages where the system allows it: a page fault for every 4 KiB of a picture costs
    // as much as reading it. Freed with std::free, as PixelMemory's are.
    PixelMemory memory;
    if (!memory.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                         sizeof(float))) {
        return false;
    }
    image.pixels.reset(reinterpret_cast<float*>(memory.data()));
    memory.release();
    image.width = width;
    image.height = height;
    return true;
}
