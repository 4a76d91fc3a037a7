// Any bytes as a picture: Qt's image readers (PNG, JPEG, TIFF, BMP, GIF, WebP) and libtiff
// through Quendra's readers, from memory as a pipe's bytes are read. Whatever the bytes, the
// reading ends with the picture or a fault that names the file; never a crash, never a hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "sources/photo/qt_picture.h"
#include "sources/photo/tiff_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::string name = "fuzz.png";
    GreyImage image;
    Result<> read = Fault{};
    if (TiffPicture::takes(name, &content)) {
        read = TiffPicture::read(name, image, nullptr, &content);
    } else if (QtPicture::canRead(name, &content)) {
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
