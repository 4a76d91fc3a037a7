#include "app/folder_watcher.h"

#include "platform/qt_text.h"
#include "sources/folder_watch.h"

FolderWatcher::FolderWatcher(QObject* parent) : QObject(parent) {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &FolderWatcher::look);
}

FolderWatcher::~FolderWatcher() = default;

void FolderWatcher::start(const QString& folder) {
    watch_ = std::make_unique<FolderWatch>(nativeName(folder));
    lastFault_.clear();
    look();
    timer_.start();
}

void FolderWatcher::stop() {
    timer_.stop();
    watch_.reset();
}

QString FolderWatcher::folder() const {
    return watch_ ? qtName(watch_->folder()) : QString();
}

void FolderWatcher::skip(const QString& path) {
    if (watch_) watch_->skip(nativeName(path));
}

void FolderWatcher::look() {
    if (!watch_) return;
    const Result<std::vector<std::string>> found = watch_->poll();
    if (!found.done()) {
        const QString message = qtText(found.fault().message);
        if (message != lastFault_) emit faulted(message);
        lastFault_ = message;
        return;
    }
    lastFault_.clear();
    if (found.value().empty()) return;
    QStringList paths;
    for (const std::string& path : found.value()) paths.append(qtName(path));
    emit arrived(paths);
}
