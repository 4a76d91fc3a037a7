// The image module's one entry: quendra-plot opens it to save a plot or read the locale.
#include <QThread>

#include "platform/qt_image_writer.h"

// The loader takes the instance back as the ImageModule it is converted from here.
extern "C" __attribute__((visibility("default"))) void* quendraImageModule() {
    // The thread that loads a module is the plotter's main thread: Qt is to take it for its own.
    QThread::currentThread();
    static QtImageWriter module;
    return static_cast<ImageModule*>(&module);
}
