#pragma once

// Text on a picture needs the fonts, and Qt gives them only to a QGuiApplication. Where the
// program has none (quendra-plot, which has no window), one is made on the offscreen platform,
// so no display is needed. Call on the program's main thread, before drawing text on any thread.
class OffscreenGui {
public:
    // True when a QGuiApplication exists afterwards: false only where the program already has
    // a QCoreApplication without a GUI.
    static bool ensure();
};
