#pragma once

#include "sources/photo/grey_image.h"

// Room for a picture's pixels.
class PictureMemory {
public:
    // Sets the size and makes room for the pixels; false when the machine has not the memory
    // for them and for the detection's working room beside them.
    static bool allocate(GreyImage& image, int width, int height);
    // False when a picture this large would not fit, the detection's room beside it.
    static bool fits(int width, int height);
    // False when bytes held in memory as long as a picture is read (a file's bytes, a picture of
    // so many bytes) would leave the machine too little for the rest.
    static bool holds(double bytes);
};
