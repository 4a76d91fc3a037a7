#include "app/run_progress.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLocale>
#include <QProgressBar>
#include <QProgressDialog>
#include <algorithm>

#include "app/run_worker.h"
#include "platform/message_box.h"

namespace {

// What the user does, as against what the window system does to the windows.
bool isInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace

RunProgress::RunProgress(QWidget* parent, RunWorker& worker) : parent_(parent), worker_(worker) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::instance()->installEventFilter(this);
    connect(&worker_, &RunWorker::progressed, this, &RunProgress::heard);
    delay_.setSingleShot(true);
    connect(&delay_, &QTimer::timeout, this, &RunProgress::showDialog);
    delay_.start(kDelayMs);
}

RunProgress::~RunProgress() {
    QApplication::instance()->removeEventFilter(this);
    if (waitCursor_) QGuiApplication::restoreOverrideCursor();
}

bool RunProgress::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || !isInput(event->type())) return false;
    const auto* widget = static_cast<QWidget*>(watched);
    return dialog_ == nullptr || (widget != dialog_.get() && !dialog_->isAncestorOf(widget));
}

void RunProgress::heard(const QString& stage, qint64 done, qint64 total) {
    stage_ = stage;
    done_ = done;
    total_ = total;
    if (dialog_) update();
}

void RunProgress::showDialog() {
    // The cursor is the user's again, to reach "キャンセル".
    QGuiApplication::restoreOverrideCursor();
    waitCursor_ = false;
    dialog_ = std::make_unique<QProgressDialog>(parent_);
    dialog_->setObjectName(QStringLiteral("RunProgress"));
    dialog_->setWindowTitle(QString::fromUtf8(MessageBox::kTitle));
    dialog_->setCancelButtonText(QStringLiteral("キャンセル"));
    // The bar is set here directly: the dialog's own setValue() would run the event loop.
    bar_ = new QProgressBar(dialog_.get());
    dialog_->setBar(bar_);
    // Nothing else may start or change while the run goes on.
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setMinimumWidth(320);
    connect(dialog_.get(), &QProgressDialog::canceled, &worker_, &RunWorker::cancel);
    update();
    dialog_->show();
}

void RunProgress::update() {
    QString label = stage_;
    if (stage_.isEmpty()) {
        bar_->setRange(0, 0);  // nothing told yet
    } else if (total_ > 0) {
        // The bar counts in parts of a thousand, whatever the totals.
        bar_->setRange(0, 1000);
        bar_->setValue(static_cast<int>(std::min(done_, total_) * 1000 / total_));
    } else {
        bar_->setRange(0, 0);  // a busy bar: how far the run goes is not known
        label += QStringLiteral("（%1 件）").arg(QLocale(QLocale::Japanese).toString(done_));
    }
    dialog_->setLabelText(label);
}
