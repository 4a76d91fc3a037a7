// cfa-truth: the truth set behind the raw reader's grey rule. Frames of known stars as a colour
// sensor records them (a Bayer RGGB sensor, then a Fujifilm X-Trans one; the colours' gains 0.5,
// 1 and 0.7, no white balance; a sky brighter in red; stars from blue to red; shot and read
// noise; black level 512, 14 bits) and, as the reference, as a monochrome sensor records the same
// light (each pixel the mean of the colours' responses, weighed as the pattern holds them). Each
// candidate rule turns the mosaic into one grey picture, Quendra's detection finds its stars (SEP
// as Source Extractor, the default settings), and each true star takes the nearest detection
// within 2 px of it (of its centre of light or, doubled, of either image). A third of the stars
// are doubled: two images 1.0 to 1.5 FWHM apart, the second 0.5 to 1 times as bright. Prints per
// rule the confusion of truth and detection (found, missed; detections that are a doubled star's
// second image, split; the others, spurious), for the bright single stars (peaks 50 to 500 times
// the sky's noise, which every rule finds) the medians of the position error and of the FWHM and
// roundness against the true ones, and the single / double calls of the stars found with the
// startup limits against the truth.
//   cfa-truth [FRAMES [SEED]]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "doublestar/double_star_limits.h"
#include "doublestar/lens_preset.h"
#include "plot/classifier.h"
#include "sources/photo/cfa_grey.h"
#include "sources/photo/picture_memory.h"
#include "sources/photo/star_detector.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1100;
constexpr int kStars = 300;
constexpr int kBlack = 512;
constexpr int kWhite = 16383;
constexpr double kGain[3] = {0.5, 1.0, 0.7};
constexpr double kSky[3] = {750, 600, 450};  // light per pixel, each colour
constexpr double kReadNoise = 6;

// LibRaw's colour numbers: 0 red, 1 and 3 green, 2 blue.
const CfaGrey::Pattern kBayer{2, 2, {0, 1, 3, 2}};
const CfaGrey::Pattern kXTrans{6, 6, {1, 1, 0, 1, 1, 2,  //
                                      1, 1, 2, 1, 1, 0,  //
                                      2, 0, 1, 0, 2, 1,  //
                                      1, 1, 2, 1, 1, 0,  //
                                      1, 1, 0, 1, 1, 2,  //
                                      0, 2, 1, 2, 0, 1}};

int colourAt(const CfaGrey::Pattern& pattern, int row, int column) {
    const int colour = pattern.at(row, column);
    return colour == 3 ? 1 : colour;
}

// SplitMix64: the same numbers everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    double uniform() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
    }
    double normal() {
        const double u = 1.0 - uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * uniform());
    }
    double between(double low, double high) { return low + (high - low) * uniform(); }

private:
    std::uint64_t state_;
};

struct TrueStar {
    double x, y;  // the centre of light, in star-list pixels (centres at whole numbers from 1)
    double fwhm, ratio, angle;
    bool doubled;
    bool bright;               // a peak 50 times the sky's noise or more
    double images[2][2] = {};  // a doubled star's two images, x and y
};

struct Image {
    double x, y, flux, fwhm, ratio, angle;  // flux: the green light of the whole image
    double colour[3];                       // each colour's light against green's
};

// The light of every colour at every pixel, and the truth.
struct Frame {
    std::vector<double> light[3];
    std::vector<TrueStar> truth;
};

void addImage(Frame& frame, const Image& image) {
    const double major = image.fwhm / (2 * std::sqrt(2 * std::log(2.0)));
    const double minor = major * image.ratio;
    const double c = std::cos(image.angle * std::numbers::pi / 180);
    const double s = std::sin(image.angle * std::numbers::pi / 180);
    const double norm = image.flux / (2 * std::numbers::pi * major * minor);
    const int reach = static_cast<int>(5 * major) + 1;
    const int cx = static_cast<int>(image.x);
    const int cy = static_cast<int>(image.y);
    for (int row = std::max(0, cy - reach); row <= std::min(kHeight - 1, cy + reach); ++row) {
        for (int column = std::max(0, cx - reach); column <= std::min(kWidth - 1, cx + reach);
             ++column) {
            const double dx = column + 1 - image.x;
            const double dy = image.y - (row + 1);  // the angle counts with up as +y
            const double u = (dx * c + dy * s) / major;
            const double v = (-dx * s + dy * c) / minor;
            const double value = norm * std::exp(-0.5 * (u * u + v * v));
            const std::size_t at = static_cast<std::size_t>(row) * kWidth + column;
            for (int k = 0; k < 3; ++k) frame.light[k][at] += value * image.colour[k];
        }
    }
}

Frame makeFrame(Random& random) {
    Frame frame;
    for (int k = 0; k < 3; ++k) {
        frame.light[k].assign(static_cast<std::size_t>(kWidth) * kHeight, kSky[k]);
    }
    for (int i = 0; i < kStars; ++i) {
        Image image;
        image.x = random.between(20, kWidth - 20);
        image.y = random.between(20, kHeight - 20);
        image.fwhm = random.between(2, 6);
        image.ratio = random.between(0.8, 1);
        image.angle = random.between(0, 180);
        // Peak green light from 5 to 500 times the sky's noise, two decades.
        const double decades = random.between(0, 2);
        const double peak = 5 * std::sqrt(kSky[1]) * std::pow(10.0, decades);
        const double major = image.fwhm / (2 * std::sqrt(2 * std::log(2.0)));
        image.flux = peak * 2 * std::numbers::pi * major * major * image.ratio;
        const double temperature = random.uniform();  // 0 blue .. 1 red
        image.colour[0] = 0.6 + 1.0 * temperature;
        image.colour[1] = 1.0;
        image.colour[2] = 1.4 - 0.9 * temperature;
        TrueStar truth{image.x,     image.y,    image.fwhm,  image.ratio,
                       image.angle, i % 3 == 0, decades >= 1};
        addImage(frame, image);
        if (truth.doubled) {
            Image second = image;
            const double apart = random.between(1.0, 1.5) * image.fwhm;
            const double direction = random.between(0, std::numbers::pi);
            const double share = random.between(0.5, 1);
            second.x = image.x + apart * std::cos(direction);
            second.y = image.y - apart * std::sin(direction);
            second.flux = image.flux * share;
            addImage(frame, second);
            truth.x = (image.x + share * second.x) / (1 + share);
            truth.y = (image.y + share * second.y) / (1 + share);
            truth.images[0][0] = image.x;
            truth.images[0][1] = image.y;
            truth.images[1][0] = second.x;
            truth.images[1][1] = second.y;
        }
        frame.truth.push_back(truth);
    }
    return frame;
}

std::uint16_t recorded(double signal, Random& random) {
    const double noisy =
        signal + std::sqrt(signal + kReadNoise * kReadNoise) * random.normal() + kBlack;
    return static_cast<std::uint16_t>(std::clamp(std::nearbyint(noisy), 0.0, double(kWhite)));
}

std::vector<std::uint16_t> colourMosaic(const Frame& frame, const CfaGrey::Pattern& pattern,
                                        Random& random) {
    std::vector<std::uint16_t> mosaic(static_cast<std::size_t>(kWidth) * kHeight);
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
            const std::size_t at = static_cast<std::size_t>(row) * kWidth + column;
            const int colour = colourAt(pattern, row, column);
            mosaic[at] = recorded(kGain[colour] * frame.light[colour][at], random);
        }
    }
    return mosaic;
}

std::vector<std::uint16_t> monoFrame(const Frame& frame, const CfaGrey::Pattern& pattern,
                                     Random& random) {
    double share[3] = {0, 0, 0};
    for (int row = 0; row < pattern.rows; ++row) {
        for (int column = 0; column < pattern.columns; ++column) {
            share[colourAt(pattern, row, column)] += 1.0 / (pattern.rows * pattern.columns);
        }
    }
    std::vector<std::uint16_t> mono(static_cast<std::size_t>(kWidth) * kHeight);
    for (std::size_t at = 0; at < mono.size(); ++at) {
        double signal = 0;
        for (int k = 0; k < 3; ++k) signal += share[k] * kGain[k] * frame.light[k][at];
        mono[at] = recorded(signal, random);
    }
    return mono;
}

using Rule = void (*)(const std::vector<std::uint16_t>&, float*);

float level(const std::vector<std::uint16_t>& mosaic, int column, int row) {
    column = std::clamp(column, 0, kWidth - 1);
    row = std::clamp(row, 0, kHeight - 1);
    return static_cast<float>(mosaic[static_cast<std::size_t>(row) * kWidth + column] - kBlack);
}

void asRecorded(const std::vector<std::uint16_t>& mosaic, float* out) {
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) *out++ = level(mosaic, column, row);
    }
}

void cellMeans(const std::vector<std::uint16_t>& mosaic, float* out) {
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
            const int top = row / 2 * 2;
            const int left = column / 2 * 2;
            *out++ = (level(mosaic, left, top) + level(mosaic, left + 1, top) +
                      level(mosaic, left, top + 1) + level(mosaic, left + 1, top + 1)) /
                     4;
        }
    }
}

// Bilinear demosaicing (each missing colour the mean of its nearest pixels of that colour, the
// same colour one period over beyond the edges), then the mean of red, green and blue.
void bilinear(const std::vector<std::uint16_t>& mosaic, float* out) {
    const auto at = [&](int column, int row) {
        if (column < 0) column += 2;
        if (column >= kWidth) column -= 2;
        if (row < 0) row += 2;
        if (row >= kHeight) row -= 2;
        return level(mosaic, column, row);
    };
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
            const float centre = at(column, row);
            const float cross = (at(column - 1, row) + at(column + 1, row) + at(column, row - 1) +
                                 at(column, row + 1)) /
                                4;
            const float corners = (at(column - 1, row - 1) + at(column + 1, row - 1) +
                                   at(column - 1, row + 1) + at(column + 1, row + 1)) /
                                  4;
            const float across = (at(column - 1, row) + at(column + 1, row)) / 2;
            const float upDown = (at(column, row - 1) + at(column, row + 1)) / 2;
            float colours = 0;
            switch (colourAt(kBayer, row, column)) {
                case 0:
                case 2:  // red or blue here: green across, the other at the corners
                    colours = centre + cross + corners;
                    break;
                default:  // green: one colour along the row, the other along the column
                    colours = centre + across + upDown;
                    break;
            }
            *out++ = colours / 3;
        }
    }
}

// The reader's own rule, or another kernel, over the mosaic.
void convolve(const std::vector<std::uint16_t>& mosaic, const CfaGrey::Pattern& pattern,
              const CfaGrey::Kernel& weights, float* out) {
    CfaGrey::Mosaic m;
    m.samples = mosaic.data();
    m.pitch = kWidth;
    m.width = kWidth;
    m.height = kHeight;
    m.pattern = pattern;
    m.black = {kBlack};
    CfaGrey(m, weights).convert(0, kHeight, out);
}

// The mean of the 6 x 6 cells that hold the pixel: even for any pattern of that size.
CfaGrey::Kernel sixBySixCells() {
    CfaGrey::Kernel cells{5, {}};
    for (int dy = -5; dy <= 5; ++dy) {
        for (int dx = -5; dx <= 5; ++dx)
            cells.weights.push_back((6 - std::abs(dy)) * (6 - std::abs(dx)));
    }
    return cells;
}

struct Tally {
    long found = 0, missed = 0, split = 0, spurious = 0;
    std::vector<double> positionError, fwhmRatio, roundnessError;
    long calls[2][2] = {{0, 0}, {0, 0}};  // [truth doubled][called double]
};

// How far the star is from the truth: its centre of light or, doubled, either image.
double distance(const StarRecord& star, const TrueStar& truth) {
    double d = std::hypot(star.x - truth.x, star.y - truth.y);
    if (truth.doubled) {
        for (const auto& image : truth.images) {
            d = std::min(d, std::hypot(star.x - image[0], star.y - image[1]));
        }
    }
    return d;
}

void score(const Frame& frame, const std::vector<StarRecord>& stars, Tally& tally) {
    std::vector<bool> taken(stars.size(), false);
    Classifier classifier(DoubleStarLimits::from(LensPreset::initial()), kWidth / 2.0,
                          kHeight / 2.0);
    for (const TrueStar& truth : frame.truth) {
        std::size_t best = stars.size();
        double nearest = 2;
        for (std::size_t i = 0; i < stars.size(); ++i) {
            const double d = distance(stars[i], truth);
            if (!taken[i] && d < nearest) {
                nearest = d;
                best = i;
            }
        }
        if (best == stars.size()) {
            ++tally.missed;
            continue;
        }
        taken[best] = true;
        ++tally.found;
        const StarRecord& star = stars[best];
        const bool calledDouble = classifier.classify(star).kind != StarKind::Single;
        ++tally.calls[truth.doubled][calledDouble];
        if (truth.doubled || !truth.bright) continue;
        tally.positionError.push_back(nearest);
        tally.fwhmRatio.push_back(star.fwhm / truth.fwhm);
        tally.roundnessError.push_back(star.roundness - truth.ratio);
    }
    for (std::size_t i = 0; i < stars.size(); ++i) {
        if (taken[i]) continue;
        const bool second =
            std::any_of(frame.truth.begin(), frame.truth.end(),
                        [&](const TrueStar& t) { return t.doubled && distance(stars[i], t) < 2; });
        ++(second ? tally.split : tally.spurious);
    }
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percent(long part, long whole) {
    return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0;
}

// The rules write the sensor's rows top first; a picture is kept bottom row first.
void turnOver(GreyImage& picture) {
    const auto width = static_cast<std::ptrdiff_t>(picture.width);
    float* pixels = picture.pixels.get();
    for (int low = 0, high = picture.height - 1; low < high; ++low, --high) {
        std::swap_ranges(pixels + low * width, pixels + (low + 1) * width, pixels + high * width);
    }
}

// A rule of its own, or a kernel over the pattern.
struct Candidate {
    const char* name;
    Rule rule = nullptr;
    bool mono = false;
    std::optional<CfaGrey::Kernel> weights;
    Tally tally;
};

void runSensor(const char* sensor, const CfaGrey::Pattern& pattern,
               std::vector<Candidate>& candidates, int frames, Random& random) {
    for (int f = 0; f < frames; ++f) {
        const Frame frame = makeFrame(random);
        const std::vector<std::uint16_t> mosaic = colourMosaic(frame, pattern, random);
        const std::vector<std::uint16_t> mono = monoFrame(frame, pattern, random);
        for (Candidate& candidate : candidates) {
            GreyImage picture;
            PictureMemory::allocate(picture, kWidth, kHeight);
            picture.saturation = kWhite - kBlack - 0.5;
            if (candidate.weights) {
                convolve(mosaic, pattern, *candidate.weights, picture.pixels.get());
            } else {
                candidate.rule(candidate.mono ? mono : mosaic, picture.pixels.get());
            }
            turnOver(picture);
            std::vector<StarRecord> stars;
            if (StarDetector({}, nullptr).detect(picture, "frame", stars).done()) {
                score(frame, stars, candidate.tally);
            } else {
                candidate.tally.missed += static_cast<long>(frame.truth.size());
            }
        }
    }
    std::printf("### %s: %d frames of %d x %d, %d true stars (a third doubled)\n\n", sensor, frames,
                kWidth, kHeight, frames * kStars);
    std::printf(
        "| Rule | Found | Missed | Split | Spurious | Position error | FWHM / true | "
        "Roundness - true | Single called double | Double called double |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Candidate& c : candidates) {
        const Tally& t = c.tally;
        std::printf("| %s | %ld | %ld | %ld | %ld | %.3f px | %.2f | %+.3f | %.0f %% | %.0f %% |\n",
                    c.name, t.found, t.missed, t.split, t.spurious, median(t.positionError),
                    median(t.fwhmRatio), median(t.roundnessError),
                    percent(t.calls[0][1], t.calls[0][0] + t.calls[0][1]),
                    percent(t.calls[1][1], t.calls[1][0] + t.calls[1][1]));
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::stoi(argv[1]) : 6;
    Random random(argc > 2 ? std::stoull(argv[2]) : 23);
    std::vector<Candidate> bayer{
        {"monochrome sensor (reference)", asRecorded, true, {}, {}},
        {"as recorded, no rule", asRecorded, false, {}, {}},
        {"2 x 2 cell means, spread", cellMeans, false, {}, {}},
        {"bilinear, mean of R G B", bilinear, false, {}, {}},
        {"1 2 1 kernel (chosen)", nullptr, false, CfaGrey::kernelFor(kBayer), {}},
    };
    runSensor("Bayer RGGB", kBayer, bayer, frames, random);
    std::vector<Candidate> xTrans{
        {"monochrome sensor (reference)", asRecorded, true, {}, {}},
        {"as recorded, no rule", asRecorded, false, {}, {}},
        {"mean of the 6 x 6 cells", nullptr, false, sixBySixCells(), {}},
        {"5 x 5 kernel (chosen)", nullptr, false, CfaGrey::kernelFor(kXTrans), {}},
    };
    runSensor("X-Trans", kXTrans, xTrans, frames, random);
    return 0;
}
