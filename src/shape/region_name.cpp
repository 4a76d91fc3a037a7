#include "shape/region_name.h"

#include <array>

std::string regionName(int column, int row, int grid) {
    static constexpr std::array<const char*, 9> kThreeByThree = {
        "左上", "上", "右上", "左", "中央", "右", "左下", "下", "右下"};
    if (grid == 3 && column >= 1 && column <= 3 && row >= 1 && row <= 3) {
        const auto k = static_cast<std::size_t>(row - 1) * 3 + static_cast<std::size_t>(column - 1);
        return kThreeByThree[k];
    }
    return "列 " + std::to_string(column) + "・行 " + std::to_string(row);
}

std::string cornerName(int column, int row) {
    const bool left = column == 1;
    if (row == 1) return left ? "左上" : "右上";
    return left ? "左下" : "右下";
}
