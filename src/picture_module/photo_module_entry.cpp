// The photograph module's one entry: quendra-plot opens it for a photograph.
#include "photo/linked_pictures.h"

// The loader takes the instance back as the PictureSupport it is converted from here.
extern "C" __attribute__((visibility("default"))) void* quendraPhotoModule() {
    static LinkedPictures module;
    return static_cast<PictureSupport*>(&module);
}
