#include "platform/device_file.h"

#include <QFile>

#include "output/output_file.h"

bool isDevice(const QString& path) {
    return OutputFile::isDevice(QFile::encodeName(path).toStdString());
}
