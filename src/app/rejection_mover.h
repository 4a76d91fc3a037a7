#pragma once

#include <QString>

// Moves a rejected frame's file into the folder `rejected` beside it (made when missing) and
// back. Nothing is ever deleted or replaced: a name already taken where the file goes gets a
// number ("frame_001-2.fits"), and a file that cannot be moved stays where it is, with the
// reason.
class RejectionMover {
public:
    struct Moved {
        QString path;   // where the file is now: moved, or where it was
        QString fault;  // empty when it moved
    };

    static Moved reject(const QString& path);
    // Back into the folder it was first in, under its name there where that is free.
    static Moved restore(const QString& path, const QString& original);
    // The name in folder for a file named `name`: the name itself, or with the first free number.
    static QString freeName(const QString& folder, const QString& name);
};
