#pragma once

#include <cstdint>
#include <vector>

#include "sources/photo/grey_image.h"
#include "sources/photo/object_neighbours.h"
#include "sources/photo/sep_objects.h"

// The picture about one of SEP's objects with every other object's pixels marked, as Source
// Extractor measures an object with its neighbours masked. SEP's apertures take it as a picture
// of its own; coordinates in it are the picture's less x0() and y0().
class ObjectCutout {
public:
    static constexpr unsigned char kSelf = 1;   // the object's own pixels
    static constexpr unsigned char kOther = 2;  // another object's

    // The square of half-side `reach` pixels about the object's barycentre, clipped to the
    // picture.
    ObjectCutout(const GreyImage& picture, const sep_catalog& catalog,
                 const ObjectNeighbours& neighbours, int object, int reach);

    // As SEP's picture; its segment map marks the object as kSelf.
    sep_image image() const;

    int x0() const { return x0_; }
    int y0() const { return y0_; }
    int width() const { return width_; }
    int height() const { return height_; }
    float pixel(int x, int y) const { return pixels_[at(x, y)]; }
    bool masked(int x, int y) const { return segments_[at(x, y)] == kOther; }

private:
    std::size_t at(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    void mark(const sep_catalog& catalog, int object, int pictureWidth, unsigned char segment);

    int x0_ = 0;
    int y0_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::vector<float> pixels_;
    std::vector<unsigned char> segments_;
};
