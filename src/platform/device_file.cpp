#include "platform/device_file.h"

#include <QFileInfo>

bool isDevice(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}
