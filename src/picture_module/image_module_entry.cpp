// The image module's one entry: quendra-plot opens it to save a plot or read the locale.
#include "picture_module/qt_image_writer.h"

// The loader takes the instance back as the ImageModule it is converted from here.
extern "C" __attribute__((visibility("default"))) void* quendraImageModule() {
    static QtImageWriter module;
    return static_cast<ImageModule*>(&module);
}
