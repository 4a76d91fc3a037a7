#pragma once

#include <QElapsedTimer>
#include <QString>
#include <atomic>
#include <memory>

#include "plot/run_monitor.h"

class QProgressDialog;
class QWidget;

// Watches one run of the window. A short run only shows the wait cursor and takes no events, as
// a run always did; once it has taken longer than kDelayMs, a progress dialog shows its stage
// and a "キャンセル" button, and the windows behind it are locked until the run ends.
class RunProgress : public RunMonitor {
public:
    static constexpr qint64 kDelayMs = 500;

    explicit RunProgress(QWidget* parent);
    ~RunProgress() override;
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    // Called by the run, on the window's thread or on a helper thread of the run; only the
    // window's thread touches the dialog.
    bool proceed(std::string_view stage, std::int64_t done, std::int64_t total) override;

    bool dialogShown() const { return dialog_ != nullptr; }

private:
    void showDialog();
    void update(std::string_view stage, std::int64_t done, std::int64_t total);

    QWidget* parent_;
    QElapsedTimer clock_;
    qint64 lastUpdateMs_ = 0;
    bool waitCursor_ = true;
    std::unique_ptr<QProgressDialog> dialog_;
    std::atomic<bool> cancelled_{false};
};
