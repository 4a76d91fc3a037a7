#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

// An image's bytes (the plot, a photograph), left unset. A large image is taken in huge pages
// where the system allows it: faulting in a 10 MB plot 4 KiB at a time costs more than drawing a
// thousand stars.
class PixelMemory {
public:
    PixelMemory() = default;

    // Room for `bytes`; false, keeping nothing, when the memory is not there.
    bool allocate(std::size_t bytes);

    std::uint8_t* data() { return bytes_.get(); }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Hands the bytes over to whoever frees them with free() below.
    void release() {
        static_cast<void>(bytes_.release());
        size_ = 0;
    }
    static void free(void* bytes);

    void swap(PixelMemory& other) noexcept {
        bytes_.swap(other.bytes_);
        std::swap(size_, other.size_);
    }

private:
    struct Release {
        void operator()(std::uint8_t* bytes) const;
    };
    std::unique_ptr<std::uint8_t, Release> bytes_;
    std::size_t size_ = 0;
};
