// Any bytes as a FITS file, mostly a tile-compressed one grown from the seeds: CFITSIO reads it
// through Quendra's reader, from memory as a pipe's bytes are read. Whatever the bytes, the
// reading ends with the picture or a fault that names the file; never a crash, never a hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "sources/photo/fits_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    GreyImage image;
    const Result<> read = FitsPicture::read("fuzz.fits.fz", image, nullptr, nullptr, nullptr,
                                            &content);
    if (read.done()) {
        FUZZ_CHECK(image.width >= 1 && image.height >= 1 && image.pixels != nullptr);
    } else {
        FUZZ_CHECK(read.fault().message.find("「fuzz.fits.fz」") != std::string::npos);
    }
    return 0;
}
