// picture-to-fits: writes a picture as Quendra reads it (one grey picture in single precision) as
// a FITS file with rows running upward and Quendra's saturation as SATURATE, so that Source
// Extractor can be run on exactly what Quendra detects on.
//   picture-to-fits PICTURE FITS
#include <fitsio.h>

#include <iostream>
#include <string>

#include "sources/photo/fits_picture.h"
#include "sources/photo/qt_picture.h"
#include "sources/star_sources.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: picture-to-fits PICTURE FITS\n";
        return 2;
    }
    const std::string path = argv[1];
    GreyImage picture;
    const StarSources::Kind kind = StarSources::kindOf(path);
    const Result<> read = kind == StarSources::Kind::Fits
                              ? FitsPicture::read(path, picture, nullptr)
                              : QtPicture::read(path, picture, nullptr);
    if (!read.done()) {
        std::cerr << read.fault().message << '\n';
        return 1;
    }
    const std::string name = "!" + std::string(argv[2]);
    fitsfile* file = nullptr;
    int status = 0;
    long axes[2] = {picture.width, picture.height};
    fits_create_file(&file, name.c_str(), &status);
    fits_create_img(file, FLOAT_IMG, 2, axes, &status);
    if (picture.saturation) {
        double saturation = *picture.saturation;
        fits_write_key(file, TDOUBLE, "SATURATE", &saturation, "as Quendra reads the picture",
                       &status);
    }
    fits_write_img(file, TFLOAT, 1, static_cast<LONGLONG>(picture.size()), picture.pixels.get(),
                   &status);
    fits_close_file(file, &status);
    if (status != 0) {
        std::cerr << "picture-to-fits: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
