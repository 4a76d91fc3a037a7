#pragma once

#include <map>
#include <string>
#include <vector>

#include "plot/classifier.h"
#include "plot/star_record.h"
#include "truth_sky.h"

// What Quendra called the stars of truth frames, counted by kind of frame and by each star's
// truth. A drawn star is matched to the nearest star of the truth within twice its FWHM (plus
// the length of a doubled or trailed one); a truth star drawn as two or more is split, one not
// drawn is missed, a drawn star with no truth near it is spurious.
class TruthTally {
public:
    struct Drawn {
        StarRecord star;
        StarKind kind;
    };
    // What a star is counted under besides its truth (a range of FWHM, of brightness...); empty
    // for none.
    using Bin = std::string (*)(const TruthSky& sky, const TruthSky::Star& star);

    explicit TruthTally(Bin bin = nullptr) : bin_(bin) {}

    void add(const std::string& frameKind, const TruthSky& sky, const std::vector<Drawn>& drawn);

    // One row per kind of frame and truth, in the order the frames came: drawn, called single,
    // called double, the share called double, the share called as the truth is, split, missed.
    std::string table() const;
    // The share of a kind's drawn stars called double, or (for mixed frames) called as their
    // truth is; in per cent.
    double share(const std::string& frameKind, bool agreement) const;

private:
    struct Counts {
        long drawn = 0;
        long called = 0;  // called double
        long agreed = 0;  // called as the truth is
        long split = 0;
        long missed = 0;
        long spurious = 0;
    };
    Counts& counts(const std::string& frameKind, const std::string& truth);

    Bin bin_;
    std::vector<std::pair<std::string, std::string>> order_;
    std::map<std::pair<std::string, std::string>, Counts> counts_;
};
