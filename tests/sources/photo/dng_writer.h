#pragma once

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Camera raw files the tests write themselves: DNGs with libtiff, the directory before the data
// as cameras write it. A colour filter array (Photometric CFA) of any pattern, or every colour at
// every pixel (LinearRaw); the black level one for all or one per cell of a repeating pattern;
// the camera, exposure, ISO and time in the EXIF directory, where cameras put them.
struct DngWriter {
    // Colours as DNG numbers them: 0 red, 1 green, 2 blue.
    std::vector<std::uint8_t> pattern{0, 1, 1, 2};  // RGGB
    int patternRows = 2;
    int patternColumns = 2;
    bool linear = false;  // LinearRaw: three samples a pixel, no pattern
    int bits = 12;
    std::vector<float> black{256};  // one value, or blackRows x blackColumns of them
    int blackRows = 1;
    int blackColumns = 1;
    std::string make = "Quendra";
    std::string model = "Test Camera";
    double exposure = 30;
    int iso = 1600;
    std::string taken = "2024:03:05 22:14:07";

    static std::vector<std::uint8_t> patternOf(const std::string& letters) {
        std::vector<std::uint8_t> colours;
        for (const char c : letters) colours.push_back(c == 'R' ? 0 : c == 'G' ? 1 : 2);
        return colours;
    }

    // sample(column, row, colour): the value less the black level; clipped to the white level.
    bool write(const std::string& path, int width, int height,
               const std::function<double(int, int, int)>& sample) const {
        TIFF* tif = TIFFOpen(path.c_str(), "w");
        if (tif == nullptr) return false;
        const std::uint64_t exif = writeExif(tif);
        TIFFCreateDirectory(tif);
        const int samples = linear ? 3 : 1;
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, linear ? 34892 : 32803);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 32);
        TIFFSetField(tif, TIFFTAG_MAKE, make.c_str());
        TIFFSetField(tif, TIFFTAG_MODEL, model.c_str());
        TIFFSetField(tif, TIFFTAG_DATETIME, taken.c_str());
        static const std::uint8_t kVersion[4] = {1, 4, 0, 0};
        TIFFSetField(tif, TIFFTAG_DNGVERSION, kVersion);
        TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, (make + " " + model).c_str());
        if (!linear) {
            const std::uint16_t dimensions[2] = {static_cast<std::uint16_t>(patternRows),
                                                 static_cast<std::uint16_t>(patternColumns)};
            TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, dimensions);
            TIFFSetField(tif, TIFFTAG_CFAPATTERN, static_cast<int>(pattern.size()), pattern.data());
        }
        const std::uint16_t blackDimensions[2] = {static_cast<std::uint16_t>(blackRows),
                                                  static_cast<std::uint16_t>(blackColumns)};
        if (black.size() > 1) TIFFSetField(tif, TIFFTAG_BLACKLEVELREPEATDIM, blackDimensions);
        TIFFSetField(tif, TIFFTAG_BLACKLEVEL, static_cast<int>(black.size()), black.data());
        const std::uint32_t white[1] = {(1U << bits) - 1};
        TIFFSetField(tif, TIFFTAG_WHITELEVEL, 1, white);
        const float matrix[9] = {1.2F, -0.3F, -0.1F, -0.2F, 1.1F, 0.1F, 0.0F, 0.2F, 0.6F};
        TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, matrix);
        const float neutral[3] = {0.5F, 1.0F, 0.7F};
        TIFFSetField(tif, TIFFTAG_ASSHOTNEUTRAL, 3, neutral);
        TIFFSetField(tif, TIFFTAG_EXIFIFD, exif);
        // The directory now, before the data, as a camera writes it.
        TIFFCheckpointDirectory(tif);
        std::vector<std::uint16_t> row(static_cast<std::size_t>(width * samples));
        bool ok = true;
        for (int y = 0; y < height && ok; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int s = 0; s < samples; ++s) {
                    const int colour =
                        linear ? s
                               : pattern[(y % patternRows) * patternColumns + x % patternColumns];
                    const double level = blackAt(x, y) + sample(x, y, colour);
                    row[static_cast<std::size_t>(x * samples + s)] = static_cast<std::uint16_t>(
                        std::clamp(std::round(level), 0.0, double((1U << bits) - 1)));
                }
            }
            ok = TIFFWriteScanline(tif, row.data(), static_cast<std::uint32_t>(y), 0) >= 0;
        }
        ok = TIFFWriteDirectory(tif) != 0 && ok;
        TIFFClose(tif);
        return ok;
    }

    double blackAt(int x, int y) const {
        return black[static_cast<std::size_t>((y % blackRows) * blackColumns + x % blackColumns)];
    }

private:
    std::uint64_t writeExif(TIFF* tif) const {
        TIFFCreateEXIFDirectory(tif);
        TIFFSetField(tif, EXIFTAG_EXPOSURETIME, exposure);
        const std::uint16_t speed[1] = {static_cast<std::uint16_t>(iso)};
        TIFFSetField(tif, EXIFTAG_ISOSPEEDRATINGS, 1, speed);
        TIFFSetField(tif, EXIFTAG_DATETIMEORIGINAL, taken.c_str());
        std::uint64_t offset = 0;
        TIFFWriteCustomDirectory(tif, &offset);
        // The EXIF directory's values, which the next TIFFCreateDirectory would leave behind.
        TIFFFreeDirectory(tif);
        return offset;
    }
};
