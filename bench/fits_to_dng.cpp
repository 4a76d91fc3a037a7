// fits-to-dng: the sky of a 16-bit FITS photograph as a camera's raw file would hold it, for the
// raw reader's benchmark: a 14-bit DNG behind an RGGB colour filter, black level 512, the colours'
// gains 0.5, 1 and 0.7 (no white balance), each sample a quarter of the FITS value times its
// colour's gain. Rows are turned the picture's way up, so both files show the sky alike.
//   fits-to-dng FITS DNG
#include <fitsio.h>

#include <iostream>
#include <string>
#include <vector>

#include "sources/photo/dng_writer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: fits-to-dng FITS DNG\n";
        return 2;
    }
    fitsfile* file = nullptr;
    int status = 0;
    int naxis = 0;
    long axes[2] = {0, 0};
    fits_open_diskfile(&file, argv[1], READONLY, &status);
    fits_get_img_dim(file, &naxis, &status);
    fits_get_img_size(file, 2, axes, &status);
    const int width = static_cast<int>(axes[0]);
    const int height = static_cast<int>(axes[1]);
    std::vector<unsigned short> sky(static_cast<std::size_t>(width) * height);
    fits_read_img(file, TUSHORT, 1, static_cast<LONGLONG>(sky.size()), nullptr, sky.data(), nullptr,
                  &status);
    fits_close_file(file, &status);
    if (status != 0 || naxis != 2) {
        std::cerr << "fits-to-dng: cannot read " << argv[1] << " as a 2-D 16-bit FITS image\n";
        return 1;
    }
    DngWriter dng;
    dng.bits = 14;
    dng.black = {512};
    dng.make = "Quendra";
    dng.model = "Bench Camera";
    constexpr double kGain[3] = {0.5, 1.0, 0.7};
    const bool written = dng.write(argv[2], width, height, [&](int x, int y, int colour) {
        const double value = sky[static_cast<std::size_t>(height - 1 - y) * width + x];
        return kGain[colour] * value / 4;
    });
    if (!written) {
        std::cerr << "fits-to-dng: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
