#include "app/run_progress.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QThread>
#include <algorithm>

#include "platform/message_box.h"
#include "platform/qt_text.h"

namespace {

// The dialog and the windows answer this often while a long run goes on.
constexpr qint64 kUpdateMs = 40;

}  // namespace

RunProgress::RunProgress(QWidget* parent) : parent_(parent) {
    clock_.start();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

RunProgress::~RunProgress() {
    if (waitCursor_) QGuiApplication::restoreOverrideCursor();
}

bool RunProgress::proceed(std::string_view stage, std::int64_t done, std::int64_t total) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) return !cancelled_;
    const qint64 now = clock_.elapsed();
    if (now < kDelayMs || now - lastUpdateMs_ < kUpdateMs) return !cancelled_;
    lastUpdateMs_ = now;
    if (!dialog_) showDialog();
    update(stage, done, total);
    QCoreApplication::processEvents();
    if (dialog_->wasCanceled()) cancelled_ = true;
    return !cancelled_;
}

void RunProgress::showDialog() {
    // The cursor is the user's again, to reach "キャンセル".
    QGuiApplication::restoreOverrideCursor();
    waitCursor_ = false;
    dialog_ = std::make_unique<QProgressDialog>(parent_);
    dialog_->setObjectName(QStringLiteral("RunProgress"));
    dialog_->setWindowTitle(QString::fromUtf8(MessageBox::kTitle));
    dialog_->setCancelButtonText(QStringLiteral("キャンセル"));
    // Nothing else may start or change while the run reads the windows' settings.
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setMinimumWidth(320);
    dialog_->show();
}

void RunProgress::update(std::string_view stage, std::int64_t done, std::int64_t total) {
    QString label = qtText(stage);
    if (total > 0) {
        // The bar counts in parts of a thousand, whatever the totals.
        dialog_->setRange(0, 1000);
        dialog_->setValue(static_cast<int>(std::min(done, total) * 1000 / total));
    } else {
        dialog_->setRange(0, 0);  // a busy bar: how far the run goes is not known
        label += QStringLiteral("（%1 件）")
                     .arg(QLocale(QLocale::Japanese).toString(static_cast<qlonglong>(done)));
    }
    dialog_->setLabelText(label);
}
