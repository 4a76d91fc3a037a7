#pragma once

#include <QString>

// A device or a pipe (/dev/null, a FIFO): written in place, because the safe replace meant for
// regular files would put a new file where the device was.
bool isDevice(const QString& path);
