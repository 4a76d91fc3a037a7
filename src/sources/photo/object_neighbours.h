#pragma once

#include <vector>

#include "sources/photo/sep_objects.h"

// Which of SEP's objects lie near a place: the picture cut into square cells, each listing the
// objects whose pixels' bounding box meets it.
class ObjectNeighbours {
public:
    ObjectNeighbours(const sep_catalog& catalog, int width, int height);

    // Every object but `object` whose box meets the box from (x0, y0) to (x1, y1), inclusive,
    // in array coordinates; each once, in ascending order.
    void near(int object, int x0, int y0, int x1, int y1, std::vector<int>& found) const;

private:
    static constexpr int kCell = 64;

    const sep_catalog& catalog_;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<int> first_;  // per cell, where its objects begin in objects_; one more at the end
    std::vector<int> objects_;  // the objects of every cell, cell after cell
};
