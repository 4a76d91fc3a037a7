// Pictures that are not what they say: cut, out of range, of samples Qt does not take, or
// inflating far beyond their picture.
#include <tiffio.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plot/temp_file.h"
#include "sources/photo/fits_bytes.h"
#include "sources/photo/photograph.h"
#include "synthetic_sky.h"

namespace {

using Format = Photograph::Format;

const SyntheticSky& sky() {
    static const SyntheticSky sky(128, 96,
                                  {{30.2, 40.6, 3.5, 1.0, 0, 200},
                                   {90.7, 30.1, 5.0, 0.6, 40, 190},
                                   {70.4, 70.8, 4.0, 0.7, 130, 180}});
    return sky;
}

Result<std::vector<StarRecord>> detect(const std::string& path, Format format) {
    return Photograph::detect(path, format, {}, nullptr);
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A grey TIFF of the sky in 32-bit samples: floating point, or signed integers.
void writeTiff(const std::string& path, bool floating) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, sky().width());
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, sky().height());
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 32);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, floating ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_INT);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
    for (int j = 0; j < sky().height(); ++j) {
        std::vector<std::uint32_t> row(static_cast<std::size_t>(sky().width()));
        for (int i = 0; i < sky().width(); ++i) {
            const float f = static_cast<float>(sky().at(i, j));
            const auto n = static_cast<std::int32_t>(sky().at(i, j));
            std::memcpy(&row[static_cast<std::size_t>(i)],
                        floating ? static_cast<const void*>(&f) : static_cast<const void*>(&n), 4);
        }
        TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(j), 0);
    }
    TIFFClose(tiff);
}

// The sky as a FITS of doubles (BITPIX -64), with one value put in at (i, j).
void writeDoubleFits(const std::string& path, int i, int j, double value) {
    std::remove(path.c_str());
    fitsfile* file = nullptr;
    int status = 0;
    long axes[2] = {sky().width(), sky().height()};
    fits_create_diskfile(&file, path.c_str(), &status);
    fits_create_img(file, DOUBLE_IMG, 2, axes, &status);
    std::vector<double> values;
    for (int row = sky().height() - 1; row >= 0; --row) {
        for (int column = 0; column < sky().width(); ++column) {
            values.push_back(sky().at(column, row));
        }
    }
    values[static_cast<std::size_t>((sky().height() - 1 - j) * sky().width() + i)] = value;
    fits_write_img(file, TDOUBLE, 1, static_cast<LONGLONG>(values.size()), values.data(), &status);
    fits_close_file(file, &status);
}

void expectBrokenAndQuiet(const std::string& path, Format format) {
    SCOPED_TRACE(path);
    testing::internal::CaptureStderr();
    const Result<std::vector<StarRecord>> cut = detect(path, format);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_FALSE(cut.done());
    EXPECT_NE(cut.fault().message.find("は壊れているか途中で切れているため"), std::string::npos)
        << cut.fault().message;
}

TEST(PictureReading, APictureCutShortIsBrokenAndTheLibrariesSayNothingOnStandardError) {
    TempFile folder("");
    for (const char* format : {"jpg", "bmp"}) {
        const std::string path = (folder.folder() / (std::string("cut.") + format)).string();
        sky().writePicture(path, format);
        std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
        expectBrokenAndQuiet(path, Format::Picture);
    }
    // A FITS cut short, then compressed whole: read from memory, where CFITSIO grew the file to
    // the end its header declares and read on past the bytes.
    const std::string fits = (folder.folder() / "cut.fits").string();
    writeDoubleFits(fits, 0, 0, sky().at(0, 0));
    std::string bytes = contentOf(fits);
    bytes.resize(bytes.size() / 2);
    gzFile gz = gzopen((fits + ".gz").c_str(), "wb");
    gzwrite(gz, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(gz);
    expectBrokenAndQuiet(fits + ".gz", Format::Fits);
}

TEST(PictureReading, ThirtyTwoBitTiffsAndOutOfRangeFloatsGiveTheSkysStars) {
    TempFile folder("");
    const auto path = [&](const char* name) { return (folder.folder() / name).string(); };
    sky().writePicture(path("sky.png"), "png");
    const Result<std::vector<StarRecord>> reference = detect(path("sky.png"), Format::Picture);
    ASSERT_TRUE(reference.done()) << reference.fault().message;
    ASSERT_EQ(reference.value().size(), sky().stars().size());
    writeTiff(path("float.tif"), true);
    writeTiff(path("integer.tif"), false);
    // Beyond the single range: one blank pixel, not an infinite background.
    writeDoubleFits(path("big.fits"), 5, 5, 1e39);
    for (const auto& [name, format] :
         {std::pair{"float.tif", Format::Picture}, std::pair{"integer.tif", Format::Picture},
          std::pair{"big.fits", Format::Fits}}) {
        SCOPED_TRACE(name);
        const Result<std::vector<StarRecord>> read = detect(path(name), format);
        ASSERT_TRUE(read.done()) << read.fault().message << '\n' << read.fault().detail;
        ASSERT_EQ(read.value().size(), reference.value().size());
        for (std::size_t k = 0; k < read.value().size(); ++k) {
            EXPECT_NEAR(read.value()[k].x, reference.value()[k].x, 1e-3) << k;
            EXPECT_NEAR(read.value()[k].y, reference.value()[k].y, 1e-3) << k;
        }
    }
}

TEST(PictureReading, AGzipBombIsInflatedOnlyAsFarAsItsPicture) {
    TempFile folder("");
    const std::string plain = (folder.folder() / "sky.fits").string();
    const std::string bomb = (folder.folder() / "bomb.fits.gz").string();
    sky().writeFits(plain, false);
    const std::string fits = contentOf(plain);
    {
        gzFile out = gzopen(bomb.c_str(), "wb9");
        gzwrite(out, fits.data(), static_cast<unsigned>(fits.size()));
        const std::string zeros(std::size_t{1} << 20, '\0');
        for (int i = 0; i < 256; ++i)
            gzwrite(out, zeros.data(), static_cast<unsigned>(zeros.size()));
        gzclose(out);
    }
    Result<std::string> inflated =
        FitsBytes::inflate(bomb, nullptr, FitsBytes::Extent::Image, nullptr);
    ASSERT_TRUE(inflated.done()) << inflated.fault().message;
    EXPECT_EQ(inflated.value().size(), fits.size());
    const Result<std::vector<StarRecord>> read = detect(bomb, Format::Fits);
    ASSERT_TRUE(read.done()) << read.fault().message;
    EXPECT_EQ(read.value().size(), sky().stars().size());
}

// A 512 x 512 frame of noise around 1000, compressed as one tile: its codes are far larger than a
// page, so the decoder's buffer is a mapping of its own with nothing readable after it.
std::string oneTileOfNoise(const std::string& path, int compression) {
    std::remove(path.c_str());
    fitsfile* file = nullptr;
    int status = 0;
    long axes[2] = {512, 512};
    long tile[2] = {512, 512};
    fits_create_diskfile(&file, path.c_str(), &status);
    fits_set_compression_type(file, compression, &status);
    fits_set_tile_dim(file, 2, tile, &status);
    fits_create_img(file, SHORT_IMG, 2, axes, &status);
    std::vector<short> values(512 * 512);
    std::uint64_t state = 24;
    for (short& v : values) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        v = static_cast<short>(950 + (state >> 33) % 101);
    }
    fits_write_img(file, TSHORT, 1, static_cast<LONGLONG>(values.size()), values.data(), &status);
    fits_close_file(file, &status);
    return contentOf(path);
}

// The one tile's descriptor: its length and heap offset, big-endian, after the primary header
// and the table's header.
std::size_t descriptorAt(const std::string& fits) {
    return 2880 + (fits.find("END     ", 2880) - 2880) / 2880 * 2880 + 2880;
}

void putBigEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
}

std::uint32_t bigEndianAt(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

TEST(PictureReading, DamagedTilesAreBrokenNeverACrash) {
    for (const int compression : {RICE_1, HCOMPRESS_1}) {
        SCOPED_TRACE(compression);
        TempFile folder("");
        const std::string path = (folder.folder() / "noise.fits.fz").string();
        const std::string good = oneTileOfNoise(path, compression);
        // Noise alone: read whole, and no star in it.
        const Result<std::vector<StarRecord>> sound = detect(path, Format::Fits);
        ASSERT_NE(sound.fault().message.find("に星が見つかりません"), std::string::npos)
            << sound.fault().message;
        const std::size_t at = descriptorAt(good);
        const std::uint32_t length = bigEndianAt(good, at);
        ASSERT_GT(length, 200000u) << "the tile's codes should span many pages";
        ASSERT_EQ(bigEndianAt(good, at + 4), 0u);
        // Its length cut in half (the decoder ran on through zeros into unmapped memory), and an
        // offset beyond the heap.
        for (const auto& [field, value] :
             {std::pair{at, length / 2}, std::pair{at + 4, 0x7FFFFFF0U}}) {
            std::string damaged = good;
            putBigEndian(damaged, field, value);
            std::ofstream(path, std::ios::binary) << damaged;
            const Result<std::vector<StarRecord>> read = detect(path, Format::Fits);
            ASSERT_FALSE(read.done());
            EXPECT_NE(read.fault().message.find("は壊れているか途中で切れているため"),
                      std::string::npos)
                << read.fault().message;
        }
    }
}

}  // namespace
