#include "platform/plot_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

QString PlotClipboard::put(const QImage& plot) {
    return put(plot, QStringLiteral("プロットの画像をクリップボードに置けませんでした。"));
}

QString PlotClipboard::put(const QImage& picture, const QString& failure) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard != nullptr) {
        clipboard->setImage(picture);
        // The window system may refuse the clipboard (another program holding it); then the
        // content is not the plot.
        const QMimeData* content = clipboard->mimeData();
        if (content != nullptr && content->hasImage()) return {};
    }
    return failure;
}
