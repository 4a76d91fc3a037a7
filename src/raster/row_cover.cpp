#include "raster/row_cover.h"

#include <algorithm>

#include "raster/span_math.h"

void RowCover::paint(std::uint8_t* row, int lo, int hi, std::uint8_t grey) {
    std::size_t k = 0;
    while (k < count_ && runs_[k].hi < lo - 1) ++k;
    const std::size_t first = k;
    int from = lo;  // the first column not yet painted or covered
    int mergedLo = lo;
    int mergedHi = hi;
    // The runs that overlap or touch [lo, hi] leave gaps to paint, and merge into one run.
    for (; k < count_ && runs_[k].lo <= hi + 1; ++k) {
        if (runs_[k].lo > from) {
            span_math::fillBytes(row + from, static_cast<std::size_t>(runs_[k].lo - from), grey);
        }
        from = std::max(from, runs_[k].hi + 1);
        mergedLo = std::min(mergedLo, runs_[k].lo);
        mergedHi = std::max(mergedHi, runs_[k].hi);
    }
    if (from <= hi) span_math::fillBytes(row + from, static_cast<std::size_t>(hi - from) + 1, grey);
    const std::size_t merged = k - first;
    if (merged == 1) {
        runs_[first] = {mergedLo, mergedHi};
        return;
    }
    if (merged == 0) {
        std::copy_backward(runs_.begin() + static_cast<std::ptrdiff_t>(first),
                           runs_.begin() + static_cast<std::ptrdiff_t>(count_),
                           runs_.begin() + static_cast<std::ptrdiff_t>(count_ + 1));
        ++count_;
    } else {
        std::copy(runs_.begin() + static_cast<std::ptrdiff_t>(k),
                  runs_.begin() + static_cast<std::ptrdiff_t>(count_),
                  runs_.begin() + static_cast<std::ptrdiff_t>(first + 1));
        count_ -= merged - 1;
    }
    runs_[first] = {mergedLo, mergedHi};
}
