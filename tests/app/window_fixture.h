#pragma once

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/double_star_window.h"
#include "app/main_window.h"
#include "recording_message_box.h"
#include "scripted_file_dialog_driver.h"
#include "system/thread_budget.h"
#include "window_test_support.h"

// The main window with scripted file dialogs and a recording message box, made afresh for every
// test in a temporary folder of its own.
class WindowFixture {
protected:
    // False when the folder or the shown window could not be had.
    bool openWindows() {
        dir_ = std::make_unique<QTemporaryDir>();
        dialogs_ = std::make_unique<ScriptedFileDialogDriver>();
        messages_ = std::make_unique<RecordingMessageBox>();
        form1_ = std::make_unique<MainWindow>(*dialogs_, *messages_, threads_);
        form1_->show();
        return dir_->isValid() && QTest::qWaitForWindowExposed(form1_.get());
    }
    // Closes the windows; false when a scripted dialog answer was left unused.
    bool closeWindows() {
        form1_.reset();
        return dialogs_->scriptUsedUp();
    }

    MainWindow& form1() { return *form1_; }
    QWidget& form2() { return form1_->doubleStarWindow(); }
    QString path(const QString& name) const { return dir_->filePath(name); }
    // Clicks a control; a run it starts is waited for, as the user waits for the plot.
    void click(QWidget& window, const char* name) {
        QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
        waitForRun();
    }
    // Until the run of "描画", where one goes on, has ended and been reported; false when it has
    // not within a minute.
    bool waitForRun() {
        return QTest::qWaitFor([this] { return !form1_->running(); }, 60000);
    }

    // As the program has it: a thread per core for the frame list, one more for "描画".
    ThreadBudget threads_{ThreadBudget::cores() + 1};
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedFileDialogDriver> dialogs_;
    std::unique_ptr<RecordingMessageBox> messages_;
    std::unique_ptr<MainWindow> form1_;
};
