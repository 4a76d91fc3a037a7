#pragma once

#include <string>

// The name of a region of a grid × grid map, numbered from 1 at the top left: 左上 上 右上 /
// 左 中央 右 / 左下 下 右下 in a 3 × 3 grid, 「列 c・行 r」 in any other.
std::string regionName(int column, int row, int grid);

// The corner a region of the map's four corners lies in: 左上, 右上, 左下 or 右下, whatever the
// grid.
std::string cornerName(int column, int row);
