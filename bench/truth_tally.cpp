#include "truth_tally.h"

#include <cmath>
#include <cstdio>

TruthTally::Counts& TruthTally::counts(const std::string& frameKind, const std::string& truth) {
    const auto key = std::make_pair(frameKind, truth);
    if (counts_.find(key) == counts_.end()) order_.push_back(key);
    return counts_[key];
}

void TruthTally::add(const std::string& frameKind, const TruthSky& sky,
                     const std::vector<Drawn>& drawn) {
    const std::vector<TruthSky::Star>& truth = sky.stars();
    std::vector<int> times(truth.size(), 0);
    std::vector<int> match(drawn.size(), -1);
    for (std::size_t d = 0; d < drawn.size(); ++d) {
        double best = 0;
        for (std::size_t t = 0; t < truth.size(); ++t) {
            const double distance =
                std::hypot(truth[t].x - drawn[d].star.x, truth[t].y - drawn[d].star.y);
            const double reach = (2 + truth[t].apart) * truth[t].fwhm;
            if (distance < reach && (match[d] < 0 || distance < best)) {
                match[d] = static_cast<int>(t);
                best = distance;
            }
        }
        if (match[d] >= 0) ++times[static_cast<std::size_t>(match[d])];
    }
    const auto label = [&](const TruthSky::Star& star) {
        const std::string kind = TruthSky::kindName(star.kind);
        return bin_ ? kind + " " + bin_(sky, star) : kind;
    };
    for (std::size_t d = 0; d < drawn.size(); ++d) {
        if (match[d] < 0) {
            ++counts(frameKind, "(none)").spurious;
            continue;
        }
        const TruthSky::Star& star = truth[static_cast<std::size_t>(match[d])];
        Counts& c = counts(frameKind, label(star));
        const bool isDouble = drawn[d].kind != StarKind::Single;
        ++c.drawn;
        c.called += isDouble ? 1 : 0;
        c.agreed += isDouble == (star.kind != TruthSky::Kind::Single) ? 1 : 0;
    }
    for (std::size_t t = 0; t < truth.size(); ++t) {
        Counts& c = counts(frameKind, label(truth[t]));
        c.split += times[t] > 1 ? 1 : 0;
        c.missed += times[t] == 0 ? 1 : 0;
    }
}

double TruthTally::share(const std::string& frameKind, bool agreement) const {
    long drawn = 0;
    long counted = 0;
    for (const auto& [key, c] : counts_) {
        if (key.first != frameKind) continue;
        drawn += c.drawn;
        counted += agreement ? c.agreed : c.called;
    }
    return drawn > 0 ? 100.0 * static_cast<double>(counted) / static_cast<double>(drawn) : 0.0;
}

std::string TruthTally::table() const {
    std::string text =
        "| Frames | Truth | Drawn | Called single | Called double | Double | As the truth "
        "| Split | Missed | Spurious |\n|---|---|---|---|---|---|---|---|---|---|\n";
    char row[256];
    for (const auto& key : order_) {
        const Counts& c = counts_.at(key);
        const double drawn = c.drawn > 0 ? static_cast<double>(c.drawn) : 1.0;
        std::snprintf(row, sizeof row,
                      "| %s | %s | %ld | %ld | %ld | %.1f %% | %.1f %% | %ld | %ld | %ld |\n",
                      key.first.c_str(), key.second.c_str(), c.drawn, c.drawn - c.called, c.called,
                      100.0 * static_cast<double>(c.called) / drawn,
                      100.0 * static_cast<double>(c.agreed) / drawn, c.split, c.missed, c.spurious);
        text += row;
    }
    return text;
}
