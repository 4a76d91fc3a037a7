#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The columns of one plot row that a star's later marks have already painted. A star is laid
// down from its last mark to its first, so each pixel is written once, in the grey of the last
// mark that covers it.
class RowCover {
public:
    // Room for the runs of every mark of a star: eight circles with their insides.
    static constexpr std::size_t kMostRuns = 16;

    void clear() { count_ = 0; }

    // The covered run [c0, c1] that holds the column; false when the column is not covered.
    bool holding(int column, int& c0, int& c1) const {
        for (std::size_t k = 0; k < count_; ++k) {
            if (runs_[k].lo <= column && column <= runs_[k].hi) {
                c0 = runs_[k].lo;
                c1 = runs_[k].hi;
                return true;
            }
        }
        return false;
    }

    // Paints the columns of [lo, hi] that are not covered yet in the grey, then covers them.
    void paint(std::uint8_t* row, int lo, int hi, std::uint8_t grey);

private:
    struct Run {
        int lo;
        int hi;
    };
    std::array<Run, kMostRuns> runs_{};  // in column order, neither overlapping nor touching
    std::size_t count_ = 0;
};
