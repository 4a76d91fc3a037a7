// The photograph module's one entry: quendra-plot opens it for a photograph.
#include <QThread>

#include "sources/photo/linked_pictures.h"

// The loader takes the instance back as the PictureSupport it is converted from here.
extern "C" __attribute__((visibility("default"))) void* quendraPhotoModule() {
    // The thread that loads a module is the plotter's main thread: Qt is to take it for its own.
    QThread::currentThread();
    static LinkedPictures module;
    return static_cast<PictureSupport*>(&module);
}
