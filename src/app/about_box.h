#pragma once

#include <QDialog>
#include <QString>

// "Quendra について" (F1): the version, the licence and the versions of the libraries the running
// program uses. A window like any other, not modal: it may stay open beside the plot.
class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* parent = nullptr);

    // The libraries, one "name version" per line: Qt, then those that read the photographs.
    static QString libraries();
};
