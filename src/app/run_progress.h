#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QProgressBar;
class QProgressDialog;
class QWidget;
class RunWorker;

// Shows the window's run while its worker draws. A short run only shows the wait cursor, and the
// windows take no input meanwhile, as a run always did; once it has taken longer than kDelayMs, a
// progress dialog shows its stage and a "キャンセル" button that cancels the run, and the windows
// behind it stay locked (the dialog is application-modal) until the run ends. The windows go on
// repainting and answering their window system throughout.
class RunProgress : public QObject {
public:
    static constexpr int kDelayMs = 500;

    RunProgress(QWidget* parent, RunWorker& worker);
    ~RunProgress() override;
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    bool dialogShown() const { return dialog_ != nullptr; }

protected:
    // Keeps the user's input from every widget but the dialog's.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void heard(const QString& stage, qint64 done, qint64 total);
    void showDialog();
    void update();

    QWidget* parent_;
    RunWorker& worker_;
    QTimer delay_;
    bool waitCursor_ = true;
    std::unique_ptr<QProgressDialog> dialog_;
    QProgressBar* bar_ = nullptr;  // the dialog's
    // The last progress the run told.
    QString stage_;
    qint64 done_ = 0;
    qint64 total_ = 0;
};
