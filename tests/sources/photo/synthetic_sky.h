#pragma once

#include <fitsio.h>
#include <zlib.h>

#include <QImage>
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

// A star field the tests draw themselves: Gaussian stars of known centre, FWHM, axis ratio and
// angle on a sky with a little noise, in whole numbers no higher than 250, so that 8-bit,
// 16-bit and FITS files of it hold the very same values. Coordinates are the star list's: x from
// the left, y from the top, pixel centres at whole numbers from 1, angles counter-clockwise
// with up as +y.
class SyntheticSky {
public:
    struct Star {
        double x, y, fwhm, ratio, angle, peak;
    };

    SyntheticSky(int width, int height, std::vector<Star> stars, double sky = 20)
        : width_(width), height_(height), stars_(std::move(stars)), values_(width * height) {
        std::uint64_t state = 12345;
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                state = state * 6364136223846793005ULL + 1442695040888963407ULL;
                const double noise = static_cast<double>((state >> 33) % 5) - 2.0;  // -2 .. 2
                double value = sky + noise;
                for (const Star& s : stars_) value += starAt(s, column + 1.0, row + 1.0);
                values_[row * width + column] = std::fmin(250.0, std::round(value));
            }
        }
    }

    const std::vector<Star>& stars() const { return stars_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The value at column i, row j (from the top, 0-based).
    double at(int i, int j) const { return values_[j * width_ + i]; }

    // 16-bit FITS (BZERO 32768), rows upward unless topDown; compress: "" plain, "fz" tile
    // compressed (RICE), "gz" the whole file gzipped.
    void writeFits(const std::string& path, bool topDown, const std::string& compress = "") const {
        const std::string plain = compress == "gz" ? path + ".plain" : path;
        fitsfile* file = nullptr;
        int status = 0;
        long axes[2] = {width_, height_};
        std::remove(plain.c_str());
        fits_create_diskfile(&file, plain.c_str(), &status);
        if (compress == "fz") fits_set_compression_type(file, RICE_1, &status);
        fits_create_img(file, USHORT_IMG, 2, axes, &status);
        if (topDown) {
            char order[] = "TOP-DOWN";
            fits_write_key(file, TSTRING, "ROWORDER", order, "rows run downward", &status);
        }
        std::vector<unsigned short> rows(values_.size());
        for (int j = 0; j < height_; ++j) {
            const int from = topDown ? j : height_ - 1 - j;
            for (int i = 0; i < width_; ++i) {
                rows[j * width_ + i] = static_cast<unsigned short>(values_[from * width_ + i]);
            }
        }
        fits_write_img(file, TUSHORT, 1, static_cast<LONGLONG>(rows.size()), rows.data(), &status);
        fits_close_file(file, &status);
        if (compress == "gz") {
            std::ifstream in(plain, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            gzFile out = gzopen(path.c_str(), "wb");
            gzwrite(out, bytes.data(), static_cast<unsigned>(bytes.size()));
            gzclose(out);
            std::remove(plain.c_str());
        }
    }

    // Three colour planes whose average is the picture: R = 2 v, G = v, B = 0; rows upward.
    void writeColourFits(const std::string& path) const {
        std::remove(path.c_str());
        fitsfile* file = nullptr;
        int status = 0;
        long axes[3] = {width_, height_, 3};
        fits_create_diskfile(&file, path.c_str(), &status);
        fits_create_img(file, USHORT_IMG, 3, axes, &status);
        std::vector<unsigned short> planes(3 * values_.size());
        for (int j = 0; j < height_; ++j) {
            for (int i = 0; i < width_; ++i) {
                const auto v = static_cast<unsigned short>(values_[(height_ - 1 - j) * width_ + i]);
                planes[j * width_ + i] = static_cast<unsigned short>(2 * v);
                planes[values_.size() + j * width_ + i] = v;
            }
        }
        fits_write_img(file, TUSHORT, 1, static_cast<LONGLONG>(planes.size()), planes.data(),
                       &status);
        fits_close_file(file, &status);
    }

    // An 8-bit colour PNG whose channels average to the picture: (v + 1, v, v - 1).
    void writeColourPicture(const std::string& path) const {
        QImage image(width_, height_, QImage::Format_RGB32);
        for (int j = 0; j < height_; ++j) {
            for (int i = 0; i < width_; ++i) {
                const int v = static_cast<int>(values_[j * width_ + i]);
                image.setPixel(i, j, qRgb(v + 1, v, v - 1));
            }
        }
        image.save(QString::fromStdString(path), "png");
    }

    // Through Qt: "tiff" as 16-bit grey, "png" as 8-bit grey.
    void writePicture(const std::string& path, const char* format) const {
        const bool sixteen = std::string(format) == "tiff";
        QImage image(width_, height_,
                     sixteen ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
        for (int j = 0; j < height_; ++j) {
            uchar* line = image.scanLine(j);
            for (int i = 0; i < width_; ++i) {
                const double v = values_[j * width_ + i];
                if (sixteen) {
                    reinterpret_cast<quint16*>(line)[i] = static_cast<quint16>(v);
                } else {
                    line[i] = static_cast<uchar>(v);
                }
            }
        }
        image.save(QString::fromStdString(path), format);
    }

private:
    static double starAt(const Star& s, double x, double y) {
        const double major = s.fwhm / (2 * std::sqrt(2 * std::log(2.0)));
        const double minor = major * s.ratio;
        const double theta = s.angle * std::numbers::pi / 180;
        // Up is +y for the angle, down for the rows.
        const double dx = x - s.x;
        const double dy = s.y - y;
        const double u = (dx * std::cos(theta) + dy * std::sin(theta)) / major;
        const double v = (-dx * std::sin(theta) + dy * std::cos(theta)) / minor;
        return s.peak * std::exp(-0.5 * (u * u + v * v));
    }

    int width_;
    int height_;
    std::vector<Star> stars_;
    std::vector<double> values_;
};
