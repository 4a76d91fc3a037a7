#pragma once

#include "sources/photo/linked_pictures.h"
#include "platform/qt_image_writer.h"
#include "cli/loaded_picture_module.h"

// The plotter's pictures and image files with the libraries linked in instead of loaded, as
// the two modules give them to the program.
class QtPictureModule : public LoadedPictureModule {
protected:
    PictureSupport* photos() override { return &pictures_; }
    ImageModule* images() override { return &images_; }

private:
    LinkedPictures pictures_;
    QtImageWriter images_;
};
