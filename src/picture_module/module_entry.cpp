// The loadable module's one entry: quendra-plot opens it when a file needs Qt, CFITSIO or SEP.
#include "picture_module/qt_picture_module.h"

extern "C" __attribute__((visibility("default"))) PictureModule* quendraPictureModule() {
    static QtPictureModule module;
    return &module;
}
