#include "sources/photo/cfa_grey.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>

namespace {

CfaGrey::Kernel binomial() {
    return {1, {1, 2, 1, 2, 4, 2, 1, 2, 1}};
}

CfaGrey::Kernel xTrans() {
    return {2, {0, 1, 0, 1, 0,  //
                1, 2, 4, 2, 1,  //
                0, 4, 4, 4, 0,  //
                1, 2, 4, 2, 1,  //
                0, 1, 0, 1, 0}};
}

// The mean of the rows x columns cells holding the pixel: a triangle each way.
CfaGrey::Kernel cells(int rows, int columns) {
    const int radius = std::max(rows, columns) - 1;
    CfaGrey::Kernel kernel{radius, {}};
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            kernel.weights.push_back(std::max(0, rows - std::abs(dy)) *
                                     std::max(0, columns - std::abs(dx)));
        }
    }
    return kernel;
}

bool oneColour(const CfaGrey::Pattern& pattern) {
    return std::all_of(pattern.colours.begin(), pattern.colours.end(),
                       [&](int colour) { return colour == pattern.colours.front(); });
}

}  // namespace

int CfaGrey::Kernel::sum() const {
    return std::accumulate(weights.begin(), weights.end(), 0);
}

bool CfaGrey::weighsEvenly(const Kernel& kernel, const Pattern& pattern) {
    const int cellCount = pattern.rows * pattern.columns;
    std::map<int, int> shares;  // colour: cells of the pattern
    for (const int colour : pattern.colours) ++shares[colour];
    const int side = kernel.side();
    for (int row = 0; row < pattern.rows; ++row) {
        for (int column = 0; column < pattern.columns; ++column) {
            std::map<int, int> weights;
            for (int dy = -kernel.radius; dy <= kernel.radius; ++dy) {
                for (int dx = -kernel.radius; dx <= kernel.radius; ++dx) {
                    // Offsets kept positive: a multiple of the period changes no colour.
                    const int colour = pattern.at(row + dy + side * pattern.rows,
                                                  column + dx + side * pattern.columns);
                    weights[colour] += kernel.at(dy, dx);
                }
            }
            for (const auto& [colour, cellsOfColour] : shares) {
                if (weights[colour] * cellCount != cellsOfColour * kernel.sum()) return false;
            }
        }
    }
    return true;
}

CfaGrey::Kernel CfaGrey::kernelFor(const Pattern& pattern) {
    if (oneColour(pattern)) return {};
    for (const Kernel& kernel : {binomial(), xTrans()}) {
        if (weighsEvenly(kernel, pattern)) return kernel;
    }
    return cells(pattern.rows, pattern.columns);
}

CfaGrey::CfaGrey(const Mosaic& mosaic, const Kernel& kernel) : mosaic_(mosaic), kernel_(kernel) {
    // Each row of weights as a multiple of a shape whose weights have no common divisor.
    std::vector<std::vector<int>> shapes;
    for (int dy = -kernel.radius; dy <= kernel.radius; ++dy) {
        std::vector<int> row;
        int divisor = 0;
        for (int dx = -kernel.radius; dx <= kernel.radius; ++dx) {
            row.push_back(kernel.at(dy, dx));
            divisor = std::gcd(divisor, kernel.at(dy, dx));
        }
        if (divisor == 0) {
            shapeOf_.push_back(-1);
            factors_.push_back(0);
            continue;
        }
        for (int& weight : row) weight /= divisor;
        const auto found = std::find(shapes.begin(), shapes.end(), row);
        shapeOf_.push_back(static_cast<int>(found - shapes.begin()));
        factors_.push_back(static_cast<float>(divisor));
        if (found == shapes.end()) shapes.push_back(row);
    }
    for (const std::vector<int>& shape : shapes) shapes_.emplace_back(shape.begin(), shape.end());
    const auto width = static_cast<std::size_t>(mosaic.width);
    blackRows_.resize(static_cast<std::size_t>(mosaic.blackRows) * width);
    for (int row = 0; row < mosaic.blackRows; ++row) {
        for (int column = 0; column < mosaic.width; ++column) {
            blackRows_[static_cast<std::size_t>(row) * width + static_cast<std::size_t>(column)] =
                mosaic.black[static_cast<std::size_t>(row) *
                                 static_cast<std::size_t>(mosaic.blackColumns) +
                             static_cast<std::size_t>(column % mosaic.blackColumns)];
        }
    }
}

// An index beyond [0, size) moved a whole number of periods inward, so that it keeps its colour.
int CfaGrey::inside(int index, int size, int period) const {
    if (index < 0) index += (-index + period - 1) / period * period;
    if (index >= size) index -= (index - size + period) / period * period;
    return std::clamp(index, 0, size - 1);
}

// One row less its black levels, with radius pixels of the same colours on either side.
void CfaGrey::loadRow(int row, float* padded) const {
    const int radius = kernel_.radius;
    const int width = mosaic_.width;
    const std::uint16_t* in = mosaic_.samples + static_cast<std::size_t>(row) * mosaic_.pitch;
    const int* black = blackRows_.data() + static_cast<std::size_t>(row % mosaic_.blackRows) *
                                               static_cast<std::size_t>(width);
    float* centre = padded + radius;
    for (int column = 0; column < width; ++column) {
        centre[column] = static_cast<float>(static_cast<int>(in[column]) - black[column]);
    }
    for (int d = 1; d <= radius; ++d) {
        centre[-d] = centre[inside(-d, width, mosaic_.pattern.columns)];
        centre[width - 1 + d] = centre[inside(width - 1 + d, width, mosaic_.pattern.columns)];
    }
}

// A source row filtered along by every shape, one row of width values after another.
void CfaGrey::filterRow(int row, float* padded, float* filtered) const {
    const auto width = static_cast<std::size_t>(mosaic_.width);
    loadRow(row, padded);
    for (const std::vector<float>& shape : shapes_) {
        bool first = true;
        for (std::size_t dx = 0; dx < shape.size(); ++dx) {
            if (shape[dx] == 0) continue;
            const float weight = shape[dx];
            const float* from = padded + dx;
            if (first) {
                for (std::size_t x = 0; x < width; ++x) filtered[x] = weight * from[x];
            } else {
                for (std::size_t x = 0; x < width; ++x) filtered[x] += weight * from[x];
            }
            first = false;
        }
        filtered += width;
    }
}

void CfaGrey::convert(int first, int last, float* out, std::ptrdiff_t step) const {
    const int radius = kernel_.radius;
    const int side = kernel_.side();
    const auto width = static_cast<std::size_t>(mosaic_.width);
    std::vector<float> padded(width + 2 * static_cast<std::size_t>(radius));
    // The source rows the kernel reaches, filtered, by source row modulo side; each filtered once.
    const std::size_t perRow = shapes_.size() * width;
    std::vector<float> rows(static_cast<std::size_t>(side) * perRow);
    std::vector<int> filtered(static_cast<std::size_t>(side), -1);
    const float scale = 1.0F / static_cast<float>(kernel_.sum());
    for (int row = first; row < last; ++row) {
        float* into = out + static_cast<std::ptrdiff_t>(row - first) * step;
        bool firstRow = true;
        for (std::size_t k = 0; k < shapeOf_.size(); ++k) {
            if (shapeOf_[k] < 0) continue;
            const int dy = static_cast<int>(k) - radius;
            const int source = inside(row + dy, mosaic_.height, mosaic_.pattern.rows);
            const auto slot = static_cast<std::size_t>(source % side);
            float* lines = rows.data() + slot * perRow;
            if (filtered[slot] != source) {
                filterRow(source, padded.data(), lines);
                filtered[slot] = source;
            }
            // The kernel's sum divided out as each row is added: exact for a sum of 2^n.
            const float factor = factors_[k] * scale;
            const float* from = lines + static_cast<std::size_t>(shapeOf_[k]) * width;
            if (firstRow) {
                for (std::size_t x = 0; x < width; ++x) into[x] = factor * from[x];
            } else {
                for (std::size_t x = 0; x < width; ++x) into[x] += factor * from[x];
            }
            firstRow = false;
        }
    }
}
