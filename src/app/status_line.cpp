#include "app/status_line.h"

#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QStringList>

#include "app/window_look.h"
#include "platform/qt_text.h"
#include "text/messages.h"

namespace {

constexpr int kRowHeight = 16;
constexpr int kFirstRow = 2;
constexpr int kSecondRow = 19;
const QString kNoticeTip = QStringLiteral(
    "描いた星が画像の外にあるときや、星の大きさが 1 より小さいときに、ここでお知らせします");

QLabel* placeText(QWidget* parent, const char* name, const QRect& where,
                  Qt::Alignment alignment = Qt::AlignLeft) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(where);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

// The text as much as the label shows of it; the whole text in the tooltip, with `more` after it.
void setShown(QLabel* label, const QString& text, Qt::TextElideMode mode, const QString& more) {
    label->setText(label->fontMetrics().elidedText(text, mode, label->width()));
    label->setToolTip(more.isEmpty() ? text : text + QLatin1Char('\n') + more);
}

QString count(std::int64_t value) {
    return QLocale(QLocale::Japanese).toString(static_cast<qlonglong>(value));
}

QString seconds(qint64 milliseconds) {
    if (milliseconds < 10) return QStringLiteral("0.01 秒未満");
    const double value = static_cast<double>(milliseconds) / 1000;
    return QStringLiteral("%1 秒").arg(value, 0, 'f', value < 10 ? 2 : 1);
}

}  // namespace

StatusLine::StatusLine(QWidget* window) : QFrame(window) {
    setObjectName(QStringLiteral("StatusLine"));
    setAutoFillBackground(true);  // over the plot, which reaches below the window's edge
    setFrameShape(QFrame::StyledPanel);
    file_ = placeText(this, "StatusFile", {6, kFirstRow, 260, kRowHeight});
    kind_ = placeText(this, "StatusKind", {270, kFirstRow, 268, kRowHeight});
    size_ = placeText(this, "StatusSize", {540, kFirstRow, 92, kRowHeight}, Qt::AlignRight);
    counts_ = placeText(this, "StatusCounts", {6, kSecondRow, 170, kRowHeight});
    time_ = placeText(this, "StatusTime", {178, kSecondRow, 70, kRowHeight});
    notice_ = placeText(this, "StatusNotice", {250, kSecondRow, 382, kRowHeight});
    size_->setToolTip(QStringLiteral("プロットの大きさ（横 × 縦、ピクセル）"));
    showFile({}, {});
    // Before the first run the row tells how to make one.
    counts_->setFixedWidth(400);
    counts_->setText(QStringLiteral("「描画」(F5) で星を描きます"));
    counts_->setToolTip(QStringLiteral("描画で読んだ星と描いた星の数がここに出ます"));
    time_->setToolTip(QStringLiteral("描画にかかった時間"));
    notice_->setToolTip(kNoticeTip);
    showCountsLook();
    window->installEventFilter(this);
    followWindow();
}

void StatusLine::showFile(const QString& path, const QString& kind) {
    if (path.isEmpty()) {
        setShown(file_, QStringLiteral("ファイル: 未選択（「解析データ」で選びます）"),
                 Qt::ElideRight, {});
    } else {
        setShown(file_, QStringLiteral("ファイル: ") + QFileInfo(path).fileName(), Qt::ElideMiddle,
                 shownName(path));
    }
    setShown(kind_, kind, Qt::ElideRight, QStringLiteral("「描画」が読むファイルの種類"));
}

void StatusLine::showPlotSize(int width, int height) {
    size_->setText(QStringLiteral("%1 × %2").arg(width).arg(height));
}

void StatusLine::runStarted() {
    clock_.start();
}

void StatusLine::runCompleted(const QString& file, std::int64_t read, std::int64_t drawn,
                              std::int64_t outside, const QString& starSize) {
    countsFile_ = file;
    earlier_ = false;
    counts_->setFixedWidth(170);
    setShown(counts_, QStringLiteral("読込 %1・描画 %2").arg(count(read), count(drawn)),
             Qt::ElideRight,
             QStringLiteral("「%1」から読んだ星 %2 個、描いた星 %3 個")
                 .arg(QFileInfo(file).fileName(), count(read), count(drawn)));
    time_->setText(seconds(clock_.isValid() ? clock_.elapsed() : 0));
    time_->setToolTip(QStringLiteral("描画にかかった時間"));
    notice_->setToolTip(kNoticeTip);
    QStringList shown;
    QStringList whole;
    if (outside > 0) {
        shown << QStringLiteral("⚠ %1 個の星が画像の外にあります。横と縦を確かめてください。")
                     .arg(count(outside));
        whole << qtText(Messages::starsOutside(outside, "横と縦"));
    }
    if (!starSize.isEmpty()) {
        shown << QStringLiteral("⚠ 星の大きさ「%1」は 1 より小さい値です。").arg(starSize);
        whole << qtText(Messages::smallStarSize(starSize.toStdString()));
    }
    if (shown.isEmpty()) {
        notice_->clear();
    } else {
        setShown(notice_, shown.join(QLatin1Char(' ')), Qt::ElideRight,
                 whole.join(QLatin1Char('\n')));
    }
    showCountsLook();
}

void StatusLine::runEnded() {
    // Before the first completed run there are no counts to grey.
    if (countsFile_.isEmpty()) return;
    earlier_ = true;
    const QString note =
        QStringLiteral("前回完了した描画（「%1」）の数です。最後の描画は完了しませんでした。")
            .arg(QFileInfo(countsFile_).fileName());
    for (QLabel* label : {counts_, time_, notice_}) {
        if (!label->text().isEmpty()) label->setToolTip(note);
    }
    showCountsLook();
}

void StatusLine::showCountsLook() {
    const QPalette::ColorRole role = earlier_ ? QPalette::PlaceholderText : QPalette::WindowText;
    counts_->setForegroundRole(countsFile_.isEmpty() ? QPalette::PlaceholderText : role);
    time_->setForegroundRole(role);
    QPalette look;
    if (!earlier_) look.setColor(QPalette::WindowText, warningColours().line);
    notice_->setPalette(look);
    notice_->setForegroundRole(role);
}

bool StatusLine::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) followWindow();
    return QFrame::eventFilter(watched, event);
}

void StatusLine::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    // The application's look changed (night mode): the notice takes that look's colour.
    if (event->type() == QEvent::PaletteChange) showCountsLook();
}

void StatusLine::followWindow() {
    const QWidget* window = parentWidget();
    setGeometry(0, window->height() - kHeight, window->width(), kHeight);
    raise();
}
