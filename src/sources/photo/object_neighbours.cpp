#include "sources/photo/object_neighbours.h"

#include <algorithm>

ObjectNeighbours::ObjectNeighbours(const sep_catalog& catalog, int width, int height)
    : catalog_(catalog),
      columns_((width + kCell - 1) / kCell),
      rows_((height + kCell - 1) / kCell),
      first_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_) + 1, 0) {
    // Counted first, then filled: one array for all cells.
    const auto eachCell = [&](int i, auto visit) {
        for (int row = catalog.ymin[i] / kCell; row <= catalog.ymax[i] / kCell; ++row) {
            for (int column = catalog.xmin[i] / kCell; column <= catalog.xmax[i] / kCell;
                 ++column) {
                visit(row * columns_ + column);
            }
        }
    };
    for (int i = 0; i < catalog.nobj; ++i) {
        eachCell(i, [&](int cell) { ++first_[static_cast<std::size_t>(cell) + 1]; });
    }
    for (std::size_t cell = 1; cell < first_.size(); ++cell) first_[cell] += first_[cell - 1];
    objects_.resize(static_cast<std::size_t>(first_.back()));
    std::vector<int> filled(first_.begin(), first_.end() - 1);
    for (int i = 0; i < catalog.nobj; ++i) {
        eachCell(i, [&](int cell) { objects_[static_cast<std::size_t>(filled[cell]++)] = i; });
    }
}

void ObjectNeighbours::near(int object, int x0, int y0, int x1, int y1,
                            std::vector<int>& found) const {
    found.clear();
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, columns_ * kCell - 1);
    y1 = std::min(y1, rows_ * kCell - 1);
    if (x0 > x1 || y0 > y1) return;
    for (int row = y0 / kCell; row <= y1 / kCell; ++row) {
        for (int column = x0 / kCell; column <= x1 / kCell; ++column) {
            const int cell = row * columns_ + column;
            for (int k = first_[cell]; k < first_[cell + 1]; ++k) {
                const int i = objects_[static_cast<std::size_t>(k)];
                if (i != object && catalog_.xmax[i] >= x0 && catalog_.xmin[i] <= x1 &&
                    catalog_.ymax[i] >= y0 && catalog_.ymin[i] <= y1) {
                    found.push_back(i);
                }
            }
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
}
