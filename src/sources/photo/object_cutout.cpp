#include "sources/photo/object_cutout.h"

#include <algorithm>
#include <cmath>

ObjectCutout::ObjectCutout(const GreyImage& picture, const sep_catalog& catalog,
                           const ObjectNeighbours& neighbours, int object, int reach) {
    const int x = static_cast<int>(std::lround(catalog.x[object]));
    const int y = static_cast<int>(std::lround(catalog.y[object]));
    x0_ = std::clamp(x - reach, 0, picture.width - 1);
    y0_ = std::clamp(y - reach, 0, picture.height - 1);
    width_ = std::clamp(x + reach, 0, picture.width - 1) - x0_ + 1;
    height_ = std::clamp(y + reach, 0, picture.height - 1) - y0_ + 1;
    pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    segments_.assign(pixels_.size(), 0);
    for (int row = 0; row < height_; ++row) {
        const float* from =
            picture.pixels.get() + static_cast<std::size_t>(y0_ + row) * picture.width + x0_;
        std::copy_n(from, width_, pixels_.begin() + static_cast<std::ptrdiff_t>(at(0, row)));
    }
    std::vector<int> others;
    neighbours.near(object, x0_, y0_, x0_ + width_ - 1, y0_ + height_ - 1, others);
    for (const int other : others) mark(catalog, other, picture.width, kOther);
    mark(catalog, object, picture.width, kSelf);
}

void ObjectCutout::mark(const sep_catalog& catalog, int object, int pictureWidth,
                        unsigned char segment) {
    for (int k = 0; k < catalog.npix[object]; ++k) {
        const int index = catalog.pix[object][k];
        const int x = index % pictureWidth - x0_;
        const int y = index / pictureWidth - y0_;
        if (x >= 0 && x < width_ && y >= 0 && y < height_) segments_[at(x, y)] = segment;
    }
}

sep_image ObjectCutout::image() const {
    sep_image image{};
    image.data = pixels_.data();
    image.segmap = segments_.data();
    image.dtype = SEP_TFLOAT;
    image.sdtype = SEP_TBYTE;
    image.w = width_;
    image.h = height_;
    image.noise_type = SEP_NOISE_NONE;
    image.gain = 0.0;
    return image;
}
