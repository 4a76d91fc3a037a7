#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class FolderWatch;

// "フォルダを監視": looks at a folder a few times a second and tells of each input once it is
// complete (its size the same for a second, FolderWatch), the inputs already there first.
// Looking is polling, so that folders on network shares and removable disks are followed too.
class FolderWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int kPollMs = 250;

    explicit FolderWatcher(QObject* parent = nullptr);
    ~FolderWatcher() override;

    void start(const QString& folder);
    void stop();
    bool watching() const { return watch_ != nullptr; }
    QString folder() const;
    // A file the caller put there itself (a frame moved back), not to be taken as new.
    void skip(const QString& path);

signals:
    // Complete inputs, full paths sorted by name.
    void arrived(const QStringList& paths);
    // The folder cannot be read now; it is looked at again all the same.
    void faulted(const QString& message);

private:
    void look();

    std::unique_ptr<FolderWatch> watch_;
    QTimer timer_;
    QString lastFault_;
};
