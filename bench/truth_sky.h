#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One generated frame whose every star is known: where it is, how bright, and what it is (one
// round image, two images of one star, or one image trailed). Coordinates are the star list's:
// x from the left, y from the top, pixel centres at whole numbers from 1; angles are degrees
// counter-clockwise from +x with up as +y.
class TruthSky {
public:
    enum class Kind { Single, Doubled, Trailed };
    enum class Frame { Good, Crowded, Doubled, Trailed, Mixed };

    struct Star {
        Kind kind = Kind::Single;
        double x = 0;  // the centre of light
        double y = 0;
        double fwhm = 0;   // of each image along its major axis, pixels
        double ratio = 1;  // each image's minor / major axis
        double imageAngle = 0;
        double flux = 0;    // all of the star's light, counts
        double peakSn = 0;  // the peak of one round image of all that light, over the sky noise
        double apart = 0;   // Doubled: the images' distance; Trailed: the trail's length; in FWHM
        double second = 0;  // Doubled: the second image's flux over the first's
        double direction = 0;  // Doubled: from the first image to the second; Trailed: the trail
    };

    // What a frame is drawn from. Each star varies about these: its own FWHM within 5 %, its
    // brightness, its images' axis ratio and angle, its direction.
    struct Plan {
        Frame frame = Frame::Good;
        double apart = 1;  // doubled: distance in FWHM; trailed: length in FWHM; mixed: unused
        double secondLow = 0.3;  // doubled stars' flux ratios, uniform in [secondLow, 1]
        int width = 480;
        int height = 480;
        int stars = 40;
        double fwhm = 3;
        double beta = 0;         // Moffat's beta; 0 for a Gaussian
        double roundLow = 0.88;  // images' axis ratios, uniform in [roundLow, 1]
        double sky = 1000;       // counts
        double readNoise = 5;    // counts
        double gain = 1;         // electrons per count
        double snLow = 10;       // peaks log-uniform from snLow to snHigh times the sky noise
        double snHigh = 2000;
        std::uint64_t seed = 1;
    };

    explicit TruthSky(const Plan& plan);

    const std::vector<Star>& stars() const { return stars_; }
    const Plan& plan() const { return plan_; }
    double skyNoise() const;

    // 16-bit FITS, rows upward as FITS writers store a picture; false when it cannot be written.
    bool writeFits(const std::string& path) const;
    // The truth as CSV, one row per star.
    bool writeTruth(const std::string& path) const;

    static const char* kindName(Kind kind);
    static const char* frameName(Frame frame);

private:
    class Random;

    void place(Random& random);
    Star makeStar(Random& random, Kind kind) const;
    void draw(const Star& star);
    // Adds one image of the given flux centred at (cx, cy).
    void addImage(const Star& star, double cx, double cy, double flux);
    double profile(double u, double v) const;  // unit peak; u, v in units of the image's axes
    double unitFlux(const Star& star) const;   // the flux of one image of unit peak
    double reach(const Star& star, double peak) const;
    void addSkyAndNoise(Random& random);

    Plan plan_;
    std::vector<Star> stars_;
    std::vector<double> light_;  // width * height, top row first
    std::vector<std::uint16_t> pixels_;
};
