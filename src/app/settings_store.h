#pragma once

#include <QByteArray>
#include <QString>

#include "app/window_settings.h"

// Keeps what the windows remember from one session to the next in a settings file, by default
// ~/.config/Quendra/quendra.conf (under $XDG_CONFIG_HOME when it is set). A key that is missing
// or does not read as its kind keeps its default, so the first start shows the design defaults
// and a hand-edited file cannot stop the program.
class SettingsStore {
public:
    struct Session {
        WindowSettings settings;
        QString starFile;    // the file "描画" reads
        QString dialogFile;  // the file dialog's last name: the folder it opens in
        // QWidget::saveGeometry() of each window; empty when it has no place of its own yet.
        QByteArray mainPlace;
        QByteArray doubleStarPlace;
        QByteArray viewerPlace;
        QByteArray frameListPlace;
        QByteArray shapeMapPlace;
    };

    // The settings in an INI file at `path`; it is made, with its folder, at the first save.
    explicit SettingsStore(QString path);
    // Where the program keeps its settings.
    static QString userPath();

    const QString& path() const { return path_; }
    Session load() const;
    // False when the file could not be written; the program then goes on with what it has.
    bool save(const Session& session) const;

private:
    QString path_;
};
