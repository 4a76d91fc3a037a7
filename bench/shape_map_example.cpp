// shape-map-example: the star-shape map of a generated star field with a known fault, as a
// picture (and its numbers as JSON), to see what the map makes of each fault.
//   shape-map-example CASE PICTURE [night] [GRID] [JSON]
// CASE: good, trail, coma, astigmatism, tilt, curvature, local, or reducer (back focus too long,
// a tilted camera and dew in one corner: the README's picture).
#include <QImage>
#include <cmath>
#include <fstream>
#include <iostream>
#include <numbers>
#include <random>
#include <string>

#include "output/shape_map_json.h"
#include "platform/offscreen_gui.h"
#include "platform/shape_map_picture.h"

namespace {

constexpr int kWidth = 3902;  // EOS40D
constexpr int kHeight = 2596;
constexpr int kStars = 1400;

struct Field {
    std::mt19937 random{20240611};
    std::uniform_real_distribution<double> unit{0, 1};
    std::normal_distribution<double> noise{0, 1};

    double u() { return unit(random); }
    double g() { return noise(random); }
};

// Where the star lies: r from 0 at the centre to 1 at a corner, radial the direction outwards.
struct Place {
    double r;
    double radial;
};

Place placeOf(double x, double y) {
    const double dx = x - kWidth / 2.0;
    const double dy = kHeight / 2.0 - y;
    return {std::hypot(dx, dy) / (std::hypot(kWidth, kHeight) / 2),
            std::atan2(dy, dx) / std::numbers::pi * 180};
}

void shape(const std::string& fault, ShapeStar& star, Field& f) {
    const Place p = placeOf(star.x, star.y);
    double e = 0.06 + 0.03 * std::abs(f.g());
    double angle = f.u() * 180;
    if (fault == "trail") {
        e = 0.3 + 0.06 * f.g();
        angle = 32 + 7 * f.g();
    } else if (fault == "coma" || fault == "reducer") {
        e = 0.06 + 0.45 * p.r * p.r + 0.04 * f.g();
        angle = p.radial + 12 * f.g();
    } else if (fault == "astigmatism") {
        e = 0.06 + 0.4 * p.r * p.r + 0.04 * f.g();
        angle = p.radial + 90 + 12 * f.g();
    } else if (fault == "curvature") {
        star.size = 3.1 + 2.2 * p.r * p.r + 0.3 * f.g();
    }
    if (fault == "tilt" || fault == "reducer") {
        const double corner = std::hypot(star.x, star.y) / std::hypot(kWidth, kHeight);
        star.size += 1.6 * std::max(0.0, 1 - 1.6 * corner);
    }
    star.roundness = 1 - std::clamp(e, 0.0, 0.9);
    star.angle = static_cast<float>(angle);
    // Stretched stars are taken for doubles, as the classifier would; dew doubles one corner.
    const bool dew = (fault == "local" || fault == "reducer") && star.x > kWidth * 2 / 3.0 &&
                     star.y > kHeight * 2 / 3.0;
    star.isDouble = (e > 0.3 && f.u() < 0.7) || f.u() < (dew ? 0.45 : 0.04);
}

ShapeStars fieldOf(const std::string& fault) {
    Field f;
    auto stars = std::make_shared<std::vector<ShapeStar>>();
    for (int k = 0; k < kStars; ++k) {
        ShapeStar star;
        star.x = 1 + f.u() * (kWidth - 1);
        star.y = 1 + f.u() * (kHeight - 1);
        star.size = 3.2 + 0.3 * f.g();
        shape(fault, star, f);
        stars->push_back(star);
    }
    return stars;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: shape-map-example CASE PICTURE [night] [GRID] [JSON]\n";
        return 2;
    }
    const bool night = argc > 3 && std::string(argv[3]) == "night";
    const int grid = argc > 4 ? std::stoi(argv[4]) : ShapeMap::kDefaultGrid;
    OffscreenGui::ensure();
    const ShapeMap map(fieldOf(argv[1]), kWidth, kHeight, grid);
    const QImage picture = ShapeMapPicture::render(
        map, night ? ShapeMapPicture::Look::Night : ShapeMapPicture::Look::Day);
    if (!picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::cerr << "shape-map-example: cannot write " << argv[2] << '\n';
        return 1;
    }
    if (argc > 5) std::ofstream(argv[5]) << ShapeMapJson::text(map);
    std::cout << map.readingCodes() << '\n';
    return 0;
}
