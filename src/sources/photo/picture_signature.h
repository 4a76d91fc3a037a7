#pragma once

#include <cstdint>
#include <string_view>

// The picture formats Qt's image readers are asked about, told by their whole signature, so that
// a star list whose header happens to start as one ("BM Ori field", "GIF of M42") stays a star
// list: PNG's eight bytes, JPEG's start of image and first marker, TIFF's and BigTIFF's byte order
// and magic number, GIF87a or GIF89a, RIFF ... WEBP, and for BMP its whole header (the file
// header, a known info header size, a size, one plane, a known bit depth and compression).
class PictureSignature {
public:
    enum class Format { None, Png, Jpeg, Tiff, Bmp, Gif, Webp };

    // head: the file's first bytes, at least 54 where the file has them.
    static Format of(std::string_view head);

    // False for a file shorter than its own header says it is (a BMP's pixel rows), or without
    // the ending its format requires (a GIF's trailer): a cut file, which the reader would fill
    // up with invented pixels. last: the file's last byte; size: its length.
    static bool whole(Format format, std::string_view head, std::uint64_t size, unsigned char last);
};
