#pragma once

#include <QColor>
#include <QList>
#include <QRgb>

// Gives the application the look both windows are laid out for: a Japanese font small enough
// for the 17 to 25 pixel tall controls, and the compact style. Call once, before the windows
// are created.
void applyWindowLook();

// The night look: every window in dim red on black, so that eyes used to the dark at the
// telescope stay so. Only the screen changes; "off" brings back the look the desktop gave.
void applyNightLook(bool on);

bool nightLookShown();

// What needs the user's eye (a cell that is not wholly a number, stars off the plot): a text
// box's ground and text, and a line of text, in the look shown now. Widgets that use them take
// them again at QEvent::PaletteChange.
struct WarningColours {
    QColor ground;
    QColor text;
    QColor line;
};
WarningColours warningColours();

// The colours the screen shows the plot's greys in: the greys themselves, or at night the dark
// stars in dim red on black.
const QList<QRgb>& plotScreenColours(bool night);
