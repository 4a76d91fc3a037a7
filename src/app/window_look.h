#pragma once

#include <QList>
#include <QRgb>

// Gives the application the look both windows are laid out for: a Japanese font small enough
// for the 17 to 25 pixel tall controls, and the compact style. Call once, before the windows
// are created.
void applyWindowLook();

// The night look: every window in dim red on black, so that eyes used to the dark at the
// telescope stay so. Only the screen changes; "off" brings back the look the desktop gave.
void applyNightLook(bool on);

// The colours the screen shows the plot's greys in: the greys themselves, or at night the dark
// stars in dim red on black.
const QList<QRgb>& plotScreenColours(bool night);
