#pragma once

#include <QImage>
#include <QString>

// The system clipboard as the plotting run uses it: its whole content is replaced by the plot.
class PlotClipboard {
public:
    // Returns an empty text on success, otherwise the message to show.
    static QString put(const QImage& plot);
    // Another picture; `failure` is the message when the clipboard does not take it.
    static QString put(const QImage& picture, const QString& failure);
};
