#pragma once

#include "sources/photo/picture_support.h"
#include "cli/image_module.h"

// Everything quendra-plot takes from Qt, CFITSIO and SEP: photographs, image files and the
// user's decimal separator. A run over star lists needs none of it, so the plotter loads these
// libraries only when something asks for them, instead of at every start.
class PictureModule : public PictureSupport, public ImageModule {
public:
    // The photograph module's exported function returns its PictureSupport under this name.
    static constexpr const char* kPhotoEntry = "quendraPhotoModule";

    // Makes the image files' and the photographs' parts ready now, on this thread. Qt takes the
    // first thread that uses it for its main thread, which must outlive the others: the plotter
    // calls this on its own main thread before its runs start on threads of their own.
    virtual void prepare(bool images, bool photos) = 0;
};
