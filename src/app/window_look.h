#pragma once

// Gives the application the look both windows are laid out for: a Japanese font small enough
// for the 17 to 25 pixel tall controls, and the compact style. Call once, before the windows
// are created.
void applyWindowLook();
