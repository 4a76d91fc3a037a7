#include "sources/photo/compressed_tiles.h"

#include <zlib.h>

#include "sources/photo/hcompress_tile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

// The Rice parameters of a tile's pixel width: bits of the split code and its largest value.
struct Codes {
    int fsBits;
    int fsMax;
    int pixelBits;
};

Codes codesFor(int bytePix) {
    switch (bytePix) {
        case 1:
            return {3, 6, 8};
        case 2:
            return {4, 14, 16};
        default:
            return {5, 25, 32};
    }
}

// The bytes of one tile, read as a bit stream that fails instead of running off its end.
class Bits {
public:
    explicit Bits(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
    bool next(std::uint32_t& byte) {
        if (at_ >= bytes_.size()) return false;
        byte = bytes_[at_++];
        return true;
    }
    bool skip(std::size_t count) {
        if (bytes_.size() - at_ < count) return false;
        at_ += count;
        return true;
    }

private:
    const std::vector<unsigned char>& bytes_;
    std::size_t at_ = 0;
};

// The position of a byte's highest set bit (1 for 1, 8 for 128 and above); 0 for 0.
int highestBit(std::uint32_t b) {
    int bit = 0;
    while (b != 0) {
        ++bit;
        b >>= 1;
    }
    return bit;
}

// Walks the codes of one tile of pixels as CFITSIO's decoder does; false where it would read
// past the tile's bytes.
bool walk(const std::vector<unsigned char>& bytes, long pixels, int blockSize, int bytePix) {
    const Codes codes = codesFor(bytePix);
    Bits in(bytes);
    // The first pixel as it is: one, two or (for any other width) four bytes.
    if (!in.skip(static_cast<std::size_t>(codes.pixelBits / 8))) return false;
    std::uint32_t b = 0;
    if (!in.next(b)) return false;
    int nbits = 8;
    for (long i = 0; i < pixels;) {
        if (nbits < codes.fsBits) {
            std::uint32_t more = 0;
            if (!in.next(more)) return false;
            b = (b << 8) | more;
            nbits += 8;
        }
        nbits -= codes.fsBits;
        const int fs = static_cast<int>(b >> nbits) - 1;
        b &= (1U << nbits) - 1;
        const long end = std::min(i + blockSize, pixels);
        if (fs < 0) {
            i = end;  // a block of equal pixels
        } else if (fs == codes.fsMax) {
            // Every pixel's difference in full: pixelBits bits each.
            for (; i < end; ++i) {
                int k = codes.pixelBits - nbits;
                for (k -= 8; k >= 0; k -= 8) {
                    if (!in.next(b)) return false;
                }
                if (nbits > 0) {
                    if (!in.next(b)) return false;
                    b &= (1U << nbits) - 1;
                } else {
                    b = 0;
                }
            }
        } else {
            for (; i < end; ++i) {
                while (b == 0) {
                    nbits += 8;
                    if (!in.next(b)) return false;
                }
                const int nzero = nbits - highestBit(b);
                nbits -= nzero + 1;
                b ^= 1U << nbits;
                // The split's low bits, which may take several bytes.
                for (nbits -= fs; nbits < 0; nbits += 8) {
                    std::uint32_t more = 0;
                    if (!in.next(more)) return false;
                    b = (b << 8) | more;
                }
                b &= (1U << nbits) - 1;
            }
        }
    }
    return true;
}

// The pixels of tile `row` (0-based): each side is the tile's, or what is left at the edge.
long tilePixels(const FITSfile& taken, long long row) {
    long pixels = 1;
    for (int axis = 0; axis < taken.zndim; ++axis) {
        const long side = taken.znaxis[axis];
        const long tile = taken.tilesize[axis];
        const long long across = (side + tile - 1) / tile;
        const long long at = row % across;
        row /= across;
        pixels *= static_cast<long>(std::min<long long>(tile, side - at * tile));
    }
    return pixels;
}

// Whether gzip-compressed tile bytes inflate whole to at most `most` bytes. CFITSIO grows its
// buffer for whatever they inflate to, copying it at every step, and a stream cut short keeps it
// growing without end: a small damaged tile takes it minutes and gigabytes. Inflated here into a
// scratch buffer, counting only.
bool inflatesWithin(std::vector<unsigned char>& bytes, std::size_t most) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK) return false;  // gzip or zlib, as CFITSIO takes
    std::array<unsigned char, 65536> scratch{};
    stream.next_in = bytes.data();
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::size_t made = 0;
    int status = Z_OK;
    while (status == Z_OK && made <= most) {
        stream.next_out = scratch.data();
        stream.avail_out = static_cast<uInt>(scratch.size());
        status = inflate(&stream, Z_NO_FLUSH);
        made += scratch.size() - stream.avail_out;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END && made <= most;
}

}  // namespace

std::string CompressedTiles::problem(fitsfile* file) {
    int status = 0;
    if (fits_is_compressed_image(file, &status) == 0) return {};
    // What CFITSIO took from the header when it opened the extension, as it will decode by it:
    // a card given twice may read otherwise from here, as CFITSIO searches from where it stands.
    const FITSfile& taken = *file->Fptr;
    if (taken.zndim < 1 || taken.zndim > MAX_COMPRESS_DIM) {
        return "タイルの大きさが正しくありません。";
    }
    for (int axis = 0; axis < taken.zndim; ++axis) {
        if (taken.tilesize[axis] < 1 || taken.znaxis[axis] < 1) {
            return "タイルの大きさが正しくありません。";
        }
    }
    const bool rice = taken.compress_type == RICE_1;
    const bool gzip = taken.compress_type == GZIP_1 || taken.compress_type == GZIP_2;
    const bool hcompress = taken.compress_type == HCOMPRESS_1;
    // CFITSIO decodes HCOMPRESS tiles of 8- and 16-bit integers in 32 bits, all others in 64.
    const bool wide = taken.zbitpix != BYTE_IMG && taken.zbitpix != SHORT_IMG;
    if (rice && taken.rice_blocksize < 1) return "Rice 圧縮の BLOCKSIZE が正しくありません。";
    long long rows = 0;
    fits_get_num_rowsll(file, &rows, &status);
    long long heap = 0;
    fits_read_key(file, TLONGLONG, "PCOUNT", &heap, nullptr, &status);
    if (status != 0) return "タイルの表を読めません。";
    // Every column a tile may be stored in: CFITSIO allocates what a descriptor says, whatever
    // the compression.
    struct Column {
        int number;
        bool walked;
        bool inflated;
    };
    const std::array<Column, 3> columns = {{
        {taken.cn_compressed, rice || hcompress, gzip},
        {taken.cn_gzip_data, false, true},
        {taken.cn_uncompressed, false, false},
    }};
    // CFITSIO decodes from these columns whatever the table holds: a damaged header may leave
    // it without the one every tile needs, or name one it does not have.
    if (taken.cn_compressed < 1) return "タイルの表を読めません。";
    for (const Column& column : columns) {
        if (column.number > taken.tfield) return "タイルの表を読めません。";
        if (column.number < 1) continue;
        std::vector<unsigned char> bytes;
        for (long long row = 1; row <= rows && status == 0; ++row) {
            long long length = 0;
            long long offset = 0;
            if (fits_read_descriptll(file, column.number, row, &length, &offset, &status) != 0) {
                break;
            }
            if (length == 0) continue;  // the tile is stored another way
            if (length < 0 || offset < 0 || offset > heap || length > heap - offset) {
                return "タイル " + std::to_string(row) +
                       " のデータが FITS のヒープの外を指しています。";
            }
            if (!column.walked && !column.inflated) continue;
            bytes.resize(static_cast<std::size_t>(length));
            if (fits_read_col(file, TBYTE, column.number, row, 1, length, nullptr, bytes.data(),
                              nullptr, &status) != 0) {
                break;
            }
            const long pixels = tilePixels(taken, row - 1);
            if (column.inflated) {
                // Eight bytes a pixel is the widest a tile's pixels are stored in.
                if (!inflatesWithin(bytes, static_cast<std::size_t>(pixels) * 8)) {
                    return "タイル " + std::to_string(row) +
                           " の GZIP 圧縮データが壊れているか、タイルより大きく展開されます。";
                }
                continue;
            }
            if (hcompress) {
                if (!HcompressTile::sound(bytes, pixels, wide)) {
                    return "タイル " + std::to_string(row) +
                           " の HCOMPRESS 圧縮データが壊れています。";
                }
                continue;
            }
            if (!walk(bytes, pixels, taken.rice_blocksize, taken.rice_bytepix)) {
                return "タイル " + std::to_string(row) +
                       " の Rice 圧縮データが途中で切れています。";
            }
        }
        if (status != 0) return "タイルの表を読めません。";
    }
    return {};
}
