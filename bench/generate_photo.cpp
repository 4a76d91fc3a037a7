// generate-photo: writes a reproducible star-field photograph as a 16-bit FITS file, the size of
// the default sensor, for the photograph benchmarks.
//   generate-photo STARS SEED FILE [WIDTH HEIGHT [reducer]]
// Sky of about 1000 counts with a gentle gradient and noise of about 12 counts; Gaussian stars of
// FWHM 1.8 to 4.5 pixels, axis ratios 0.6 to 1, every orientation, peaks from a few to tens of
// thousands of counts (a few saturate at 65535). The same seed gives the same file everywhere.
// "reducer" makes the faults of a focal reducer set too far from the sensor on a tilted camera,
// for the star-shape map: the same stars, but round at the centre and stretched along the radius
// towards the edge (axis ratio down to 0.45 in the corners), and up to 1.7 times as large
// towards the first row's first corner.
#include <fitsio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "split_mix_random.h"

namespace {

void addStar(std::vector<double>& sky, int width, int height, SplitMixRandom& random,
             bool reducer) {
    const double x = random.uniform() * width;
    const double y = random.uniform() * height;
    double fwhm = 1.8 + 2.7 * random.uniform();
    double ratio = 0.6 + 0.4 * random.uniform();
    double angle = random.uniform() * std::numbers::pi;
    const double peak = 60.0 * std::exp(random.uniform() * 7.0);  // 60 .. 66000
    if (reducer) {
        // r: 0 at the centre, 1 in the corners; the same random numbers, so the same stars.
        const double dx = x - width / 2.0;
        const double dy = y - height / 2.0;
        const double r2 = (dx * dx + dy * dy) / (width * width / 4.0 + height * height / 4.0);
        ratio = std::min(1.0, 0.9 + 0.1 * ratio - 0.45 * r2);
        angle = std::atan2(dy, dx) + 0.2 * (angle - std::numbers::pi / 2);  // within 18°
        fwhm = 2.6 + 0.3 * (fwhm - 1.8) / 2.7;
        const double corner = std::hypot(x / width, y / height) / std::numbers::sqrt2;
        fwhm *= 1 + 0.7 * std::max(0.0, 1 - 1.6 * corner);
    }
    const double major = fwhm / 2.3548;
    const double minor = major * ratio;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const int reach = static_cast<int>(5.0 * major) + 1;
    for (int row = std::max(0, static_cast<int>(y) - reach);
         row <= std::min(height - 1, static_cast<int>(y) + reach); ++row) {
        for (int column = std::max(0, static_cast<int>(x) - reach);
             column <= std::min(width - 1, static_cast<int>(x) + reach); ++column) {
            const double dx = column - x;
            const double dy = row - y;
            const double u = (dx * c + dy * s) / major;
            const double v = (-dx * s + dy * c) / minor;
            sky[static_cast<std::size_t>(row) * width + column] +=
                peak * std::exp(-0.5 * (u * u + v * v));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool reducer = argc == 7 && std::string(argv[6]) == "reducer";
    if (argc != 4 && argc != 6 && !reducer) {
        std::cerr << "usage: generate-photo STARS SEED FILE [WIDTH HEIGHT [reducer]]\n";
        return 2;
    }
    const long stars = std::stol(argv[1]);
    SplitMixRandom random(std::stoull(argv[2]));
    const int width = argc == 6 ? std::stoi(argv[4]) : 3902;
    const int height = argc == 6 ? std::stoi(argv[5]) : 2596;
    std::vector<double> sky(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            sky[static_cast<std::size_t>(row) * width + column] =
                1000.0 + 0.02 * column + 0.03 * row + 12.0 * random.normal();
        }
    }
    for (long star = 0; star < stars; ++star) addStar(sky, width, height, random, reducer);
    std::vector<unsigned short> pixels(sky.size());
    std::transform(sky.begin(), sky.end(), pixels.begin(), [](double v) {
        return static_cast<unsigned short>(std::clamp(std::nearbyint(v), 0.0, 65535.0));
    });

    const std::string name = std::string("!") + argv[3];  // "!": replace an existing file
    fitsfile* file = nullptr;
    int status = 0;
    long axes[2] = {width, height};
    fits_create_file(&file, name.c_str(), &status);
    fits_create_img(file, USHORT_IMG, 2, axes, &status);
    fits_write_img(file, TUSHORT, 1, static_cast<LONGLONG>(pixels.size()), pixels.data(), &status);
    fits_close_file(file, &status);
    if (status != 0) {
        char text[FLEN_STATUS];
        fits_get_errstatus(status, text);
        std::cerr << "generate-photo: cannot write " << argv[3] << ": " << text << '\n';
        return 1;
    }
    return 0;
}
