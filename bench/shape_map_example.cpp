// shape-map-example: the star-shape map of generated star fields with known faults.
//   shape-map-example CASE PICTURE [night] [GRID] [JSON]
//       the map of one field as a picture (and its numbers as JSON)
//   shape-map-example truth
//       the reading of many fields of every case, in several strengths, star counts and seeds,
//       against the fault each was made with: a confusion table
// CASE: good, trail, coma, astigmatism, tilt, curvature, local, or reducer (back focus too long,
// a tilted camera and dew in one corner: the README's picture).
#include <QImage>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <numbers>
#include <random>
#include <string>

#include "output/shape_map_json.h"
#include "platform/offscreen_gui.h"
#include "platform/shape_map_picture.h"

namespace {

constexpr int kWidth = 3902;  // EOS40D
constexpr int kHeight = 2596;

// A field to make: its fault, how strong (1 as in the pictures), how many stars, which seed.
struct Making {
    std::string fault;
    double strength = 1;
    int stars = 1400;
    unsigned seed = 20240611;
};

// The reading each case is made to give.
const std::map<std::string, std::string>& expected() {
    static const std::map<std::string, std::string> codes = {
        {"good", "round"},        {"trail", "trailing"},
        {"coma", "radial"},       {"astigmatism", "tangential"},
        {"tilt", "round+tilt"},   {"curvature", "round+curvature"},
        {"local", "round+local"}, {"reducer", "radial+tilt+local"}};
    return codes;
}

struct Field {
    explicit Field(unsigned seed) : random(seed) {}
    std::mt19937 random;
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

void shape(const Making& m, ShapeStar& star, Field& f) {
    const Place p = placeOf(star.x, star.y);
    const double k = m.strength;
    double e = 0.06 + 0.03 * std::abs(f.g());
    double angle = f.u() * 180;
    if (m.fault == "trail") {
        e = 0.06 + 0.24 * k + 0.06 * f.g();
        angle = 32 + 7 * f.g();
    } else if (m.fault == "coma" || m.fault == "reducer") {
        e = 0.06 + 0.45 * k * p.r * p.r + 0.04 * f.g();
        angle = p.radial + 12 * f.g();
    } else if (m.fault == "astigmatism") {
        e = 0.06 + 0.4 * k * p.r * p.r + 0.04 * f.g();
        angle = p.radial + 90 + 12 * f.g();
    } else if (m.fault == "curvature") {
        star.size = 3.1 + 2.2 * k * p.r * p.r + 0.3 * f.g();
    }
    if (m.fault == "tilt" || m.fault == "reducer") {
        const double corner = std::hypot(star.x, star.y) / std::hypot(kWidth, kHeight);
        star.size += 1.6 * k * std::max(0.0, 1 - 1.6 * corner);
    }
    star.roundness = 1 - std::clamp(e, 0.0, 0.9);
    star.angle = static_cast<float>(angle);
    // Stretched stars are taken for doubles, as the classifier would; dew doubles one corner.
    const bool dew = (m.fault == "local" || m.fault == "reducer") && star.x > kWidth * 2 / 3.0 &&
                     star.y > kHeight * 2 / 3.0;
    star.isDouble = (e > 0.3 && f.u() < 0.7) || f.u() < (dew ? 0.04 + 0.41 * k : 0.04);
}

ShapeStars fieldOf(const Making& m) {
    Field f(m.seed);
    auto stars = std::make_shared<std::vector<ShapeStar>>();
    for (int n = 0; n < m.stars; ++n) {
        ShapeStar star;
        star.x = 1 + f.u() * (kWidth - 1);
        star.y = 1 + f.u() * (kHeight - 1);
        star.size = 3.2 + 0.3 * f.g();
        shape(m, star, f);
        stars->push_back(star);
    }
    return stars;
}

// Every case in three strengths, three star counts and ten seeds; the readings counted per case.
int truth() {
    std::map<std::string, std::map<std::string, int>> table;
    std::map<double, std::array<int, 2>> byStrength;  // right, all
    for (const auto& [fault, code] : expected()) {
        for (const double strength : {0.5, 1.0, 1.5}) {
            for (const int stars : {300, 1400, 5000}) {
                for (unsigned seed = 1; seed <= 10; ++seed) {
                    const ShapeMap map(fieldOf({fault, strength, stars, seed}), kWidth, kHeight);
                    const std::string read = map.readingCodes();
                    ++table[fault][read];
                    byStrength[strength][0] += read == code ? 1 : 0;
                    ++byStrength[strength][1];
                }
            }
        }
    }
    std::printf("%-12s %-20s %s\n", "case", "made to read", "read (fields)");
    for (const auto& [fault, readings] : table) {
        std::printf("%-12s %-20s", fault.c_str(), expected().at(fault).c_str());
        for (const auto& [read, n] : readings) std::printf(" %s %d", read.c_str(), n);
        std::printf("\n");
    }
    for (const auto& [strength, counts] : byStrength) {
        std::printf("strength %.1f: %d of %d read as made\n", strength, counts[0], counts[1]);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "truth") return truth();
    if (argc < 3) {
        std::cerr << "usage: shape-map-example CASE PICTURE [night] [GRID] [JSON]\n"
                     "       shape-map-example truth\n";
        return 2;
    }
    const bool night = argc > 3 && std::string(argv[3]) == "night";
    const int grid = argc > 4 ? std::stoi(argv[4]) : ShapeMap::kDefaultGrid;
    OffscreenGui::ensure();
    const ShapeMap map(fieldOf({argv[1]}), kWidth, kHeight, grid);
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
