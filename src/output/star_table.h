#pragma once

#include <string>

#include "output/output_file.h"
#include "plot/star_observer.h"

// The per-star table: one CSV row for every drawn star, in drawing order, with what the
// classifier saw (its two angles in single precision, as it computed them) and the star's FWHM
// where its source measured one (empty for a star list).
class StarTable : public StarObserver {
public:
    static constexpr const char* kHeader =
        "index,area,class,kind,x,y,size,angle,roundness,radial_angle,angle_offset,fwhm\n";

    // Writes the header at once; the file is the caller's to commit when the run completed.
    explicit StarTable(OutputFile& file);
    void onStar(const StarRecord& star, const Classification& classification) override;

private:
    OutputFile& file_;
    std::string row_;
};
