// Any bytes as a picture: Qt's image readers (PNG, JPEG, TIFF, BMP, GIF, WebP) and libtiff
// through Quendra's readers, from memory as a pipe's bytes are read. Whatever the bytes, the
// reading ends with the picture or a fault that names the file; never a crash, never a hang.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "sources/photo/qt_picture.h"
#include "sources/photo/tiff_picture.h"

namespace {

// A few bytes may declare a picture of a billion pixels, which the decoders then fill in full:
// a large picture is the machine's memory to judge (the readers ask before they take it), not a
// parsing fault, and would only end the run on its memory limit.
bool declaresAHugePicture(const std::optional<PictureSize>& size) {
    constexpr long long kMostPixels = 4096LL * 4096;
    return size && static_cast<long long>(size->width) * size->height > kMostPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::string name = "fuzz.png";
    GreyImage image;
    Result<> read = Fault{};
    if (TiffPicture::takes(name, &content)) {
        if (declaresAHugePicture(TiffPicture::size(name, &content))) return 0;
        read = TiffPicture::read(name, image, nullptr, &content);
    } else if (QtPicture::canRead(name, &content)) {
        if (declaresAHugePicture(QtPicture::size(name, &content))) return 0;
        read = QtPicture::read(name, image, nullptr, &content);
    } else {
        return 0;
    }
    if (read.done()) {
        FUZZ_CHECK(image.width >= 1 && image.height >= 1 && image.pixels != nullptr);
    } else {
        FUZZ_CHECK(read.fault().message.find("「fuzz.png」") != std::string::npos);
    }
    return 0;
}
