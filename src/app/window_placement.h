#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a second window (its frame of size `other`) goes beside the main window's frame `main`:
// to its right, else to its left, else below it, wherever the screen has room. When no side has
// room, the second window still lies whole on the screen, where it covers the least of the main
// window's `controls` (and then of the main window). All in screen coordinates.
QPoint placeBeside(const QRect& main, const QRect& controls, const QSize& other,
                   const QRect& screen, int gap);
