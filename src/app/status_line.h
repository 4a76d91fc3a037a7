#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QString>
#include <cstdint>

class QLabel;

// The main window's status line, two rows below the plot area: the file "描画" reads, its kind
// and the plot's size; then what the last completed run read and drew, how long it took, and a
// notice when drawn stars fell off the plot or the star size was below the bar's. After a run that
// did not complete, the counts stay greyed, as those of the earlier run their tooltip names. It
// keeps itself at the bottom of its window.
class StatusLine : public QFrame {
public:
    static constexpr int kHeight = 36;

    explicit StatusLine(QWidget* window);

    // kind: "星のリスト", "カタログ", "写真", with where a catalog's size came from.
    void showFile(const QString& path, const QString& kind);
    void showPlotSize(int width, int height);
    void runStarted();
    // starSize: the star size text when it is below the bar's left end (warned of), else empty.
    void runCompleted(const QString& file, std::int64_t read, std::int64_t drawn,
                      std::int64_t outside, const QString& starSize = {});
    // A run that stopped, failed or was cancelled.
    void runEnded();
    // The counts shown belong to a run before the last one.
    bool countsEarlier() const { return earlier_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void followWindow();
    void showCountsLook();

    QLabel* file_ = nullptr;
    QLabel* kind_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* notice_ = nullptr;
    QElapsedTimer clock_;
    QString countsFile_;  // the file of the counts shown; empty before the first completed run
    bool earlier_ = false;
};
