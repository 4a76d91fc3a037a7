// generate-night: writes a reproducible night of 16-bit FITS frames of one star field, as a
// capture program leaves them in its folder: night_001.fits, night_002.fits, ...
//   generate-night FOLDER FRAMES STARS [WIDTH HEIGHT]
// The same stars in every frame, dithered by a few pixels; the seeing slowly worsens as the
// focus drifts (FWHM 2.2 to 3.4 pixels), a gust of wind trails the stars of a few frames (axis
// ratio 0.45 along one direction) and a passing cloud dims a few others. Each frame's header
// says how it was taken: INSTRUME, EXPTIME, GAIN and DATE-OBS, two minutes apart.
#include <fitsio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "split_mix_random.h"

namespace {

struct Star {
    double x, y, peak;
};

// How one frame was taken.
struct Conditions {
    double fwhm;        // the seeing
    double ratio;       // minor / major axis: 1 round, less when the wind trails the stars
    double angle;       // of the trail, radians
    double brightness;  // 1 clear, less under cloud
    double dx, dy;      // the dither
};

Conditions conditionsOf(int frame, int frames, SplitMixRandom& random) {
    const double along = frames > 1 ? static_cast<double>(frame) / (frames - 1) : 0;
    Conditions c{2.2 + 1.2 * along + 0.1 * random.normal(),
                 0.92 + 0.06 * random.uniform(),
                 0.6,
                 1.0,
                 4 * random.normal(),
                 4 * random.normal()};
    const int gust = frames * 3 / 5;
    if (frame >= gust && frame < gust + std::max(2, frames / 12)) c.ratio = 0.45;
    const int cloud = frames / 4;
    if (frame >= cloud && frame < cloud + std::max(1, frames / 15)) c.brightness = 0.25;
    return c;
}

void paint(std::vector<double>& sky, int width, int height, const Star& star, const Conditions& c) {
    const double major = c.fwhm / 2.3548 / std::sqrt(c.ratio);
    const double minor = major * c.ratio;
    const double cosine = std::cos(c.angle);
    const double sine = std::sin(c.angle);
    const double x = star.x + c.dx;
    const double y = star.y + c.dy;
    const int reach = static_cast<int>(5.0 * major) + 1;
    for (int row = std::max(0, static_cast<int>(y) - reach);
         row <= std::min(height - 1, static_cast<int>(y) + reach); ++row) {
        for (int column = std::max(0, static_cast<int>(x) - reach);
             column <= std::min(width - 1, static_cast<int>(x) + reach); ++column) {
            const double u = ((column - x) * cosine + (row - y) * sine) / major;
            const double v = (-(column - x) * sine + (row - y) * cosine) / minor;
            sky[static_cast<std::size_t>(row) * width + column] +=
                star.peak * c.brightness * std::exp(-0.5 * (u * u + v * v));
        }
    }
}

bool write(const std::string& path, const std::vector<double>& sky, int width, int height,
           int frame) {
    std::vector<unsigned short> pixels(sky.size());
    std::transform(sky.begin(), sky.end(), pixels.begin(), [](double v) {
        return static_cast<unsigned short>(std::clamp(std::nearbyint(v), 0.0, 65535.0));
    });
    const std::string name = "!" + path;  // "!": replace an existing file
    fitsfile* file = nullptr;
    int status = 0;
    long axes[2] = {width, height};
    fits_create_file(&file, name.c_str(), &status);
    fits_create_img(file, USHORT_IMG, 2, axes, &status);
    char instrument[] = "ZWO ASI294MM Pro";
    double exposure = 120;
    double gain = 120;
    const int minutes = 22 * 60 + 2 * frame;
    char taken[32];
    std::snprintf(taken, sizeof taken, "2024-03-%02dT%02d:%02d:00", 5 + minutes / (24 * 60),
                  minutes / 60 % 24, minutes % 60);
    fits_write_key(file, TSTRING, "INSTRUME", instrument, "camera", &status);
    fits_write_key(file, TDOUBLE, "EXPTIME", &exposure, "seconds", &status);
    fits_write_key(file, TDOUBLE, "GAIN", &gain, "", &status);
    fits_write_key(file, TSTRING, "DATE-OBS", taken, "start of the exposure", &status);
    fits_write_img(file, TUSHORT, 1, static_cast<LONGLONG>(pixels.size()), pixels.data(), &status);
    fits_close_file(file, &status);
    if (status != 0) {
        char text[FLEN_STATUS];
        fits_get_errstatus(status, text);
        std::cerr << "generate-night: cannot write " << path << ": " << text << '\n';
    }
    return status == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::cerr << "usage: generate-night FOLDER FRAMES STARS [WIDTH HEIGHT]\n";
        return 2;
    }
    const std::string folder = argv[1];
    const int frames = std::stoi(argv[2]);
    const long count = std::stol(argv[3]);
    const int width = argc == 6 ? std::stoi(argv[4]) : 3902;
    const int height = argc == 6 ? std::stoi(argv[5]) : 2596;
    SplitMixRandom random(7);
    std::vector<Star> stars;
    for (long i = 0; i < count; ++i) {
        stars.push_back({random.uniform() * width, random.uniform() * height,
                         60.0 * std::exp(random.uniform() * 6.5)});
    }
    std::vector<double> sky(static_cast<std::size_t>(width) * height);
    for (int frame = 0; frame < frames; ++frame) {
        const Conditions c = conditionsOf(frame, frames, random);
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                sky[static_cast<std::size_t>(row) * width + column] =
                    1000.0 + 0.02 * column + 0.03 * row + 12.0 * random.normal();
            }
        }
        for (const Star& star : stars) paint(sky, width, height, star, c);
        char name[32];
        std::snprintf(name, sizeof name, "/night_%03d.fits", frame + 1);
        if (!write(folder + name, sky, width, height, frame)) return 1;
    }
    return 0;
}
