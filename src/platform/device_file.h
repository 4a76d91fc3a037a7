#pragma once

#include <QString>

// A device or a pipe (/dev/null, a FIFO), as the outputs decide it, for a name in Qt's spelling.
bool isDevice(const QString& path);
