#pragma once

#include <QString>

class QFileDevice;

// Why a file operation failed, in Japanese for the common faults (not found, no permission, disk
// full, a folder, a read-only file system, ...), otherwise as the system words it.
QString fileReason(const QFileDevice& file);
