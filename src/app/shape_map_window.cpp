#include "app/shape_map_window.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <new>

#include "app/picture_view.h"
#include "platform/file_dialog_driver.h"
#include "platform/image_file.h"
#include "platform/message_box.h"
#include "platform/plot_clipboard.h"
#include "platform/qt_text.h"
#include "platform/shape_map_picture.h"
#include "text/messages.h"

namespace {

constexpr QSize kLargestStart(880, 800);
// A resize is followed by a picture drawn for the new width once the window has kept its size
// this long; meanwhile the picture is scaled.
constexpr int kResizeSettleMilliseconds = 150;

QString waitingText() {
    return QStringLiteral("「描画」が完了すると、描いた星の形の地図と読み取りをここに表示します。");
}

}  // namespace

ShapeMapWindow::ShapeMapWindow(ThreadBudget& threads, FileDialogDriver& dialogs,
                               MessageBox& messages, QWidget* parent)
    : QWidget(parent, Qt::Window),
      dialogs_(dialogs),
      messages_(messages),
      screen_(threads, [this] { messages_.show(this, qtText(Messages::outOfMemory())); }),
      export_(threads, [this] {
          unsetCursor();
          messages_.show(this, qtText(Messages::outOfMemory()));
      }) {
    setObjectName(QStringLiteral("ShapeMapWindow"));
    setWindowTitle(QStringLiteral("星像マップ"));
    picture_ = new PictureView(this);
    picture_->setObjectName(QStringLiteral("ShapeMapPicture"));
    picture_->setToolTip(
        QStringLiteral("描いた星の伸びと向き、領域ごとの重星の割合。右クリックで、コピー (Ctrl+C)、"
                       "PNG で保存、領域の分割を選べます"));
    reading_ = new QLabel(waitingText(), this);
    reading_->setObjectName(QStringLiteral("ShapeReading"));
    reading_->setWordWrap(true);
    reading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    reading_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    earlierNote_ = new QLabel(this);
    earlierNote_->setObjectName(QStringLiteral("ShapeMapEarlier"));
    earlierNote_->setWordWrap(true);
    earlierNote_->setForegroundRole(QPalette::PlaceholderText);
    earlierNote_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(picture_, 1);
    layout->addWidget(earlierNote_);
    layout->addWidget(reading_);
    buildMenu();
    resized_.setSingleShot(true);
    resized_.setInterval(kResizeSettleMilliseconds);
    connect(&resized_, &QTimer::timeout, this, [this] {
        if (picture_->deviceWidth() != requested_.width) updateScreen();
    });
    QSize start = kLargestStart;
    if (const QScreen* shown = screen()) {
        start = start.boundedTo(shown->availableGeometry().size() * 3 / 4);
    }
    resize(start);
}

void ShapeMapWindow::buildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("ShapeMapMenu"));
    copyAction_ = menu_->addAction(QStringLiteral("クリップボードにコピー"), this,
                                   &ShapeMapWindow::copyPicture);
    copyAction_->setObjectName(QStringLiteral("CopyShapeMap"));
    // Ctrl+C in the window; where the reading has text selected, that text is copied instead.
    copyAction_->setShortcut(QKeySequence::Copy);
    addAction(copyAction_);
    saveAction_ = menu_->addAction(QStringLiteral("画像保存"), this, &ShapeMapWindow::savePicture);
    saveAction_->setObjectName(QStringLiteral("SaveShapeMap"));
    copyAction_->setEnabled(false);
    saveAction_->setEnabled(false);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::hide);
    menu_->addSeparator();
    QMenu* grids = menu_->addMenu(QStringLiteral("領域の分割"));
    grids->setObjectName(QStringLiteral("ShapeMapGrid"));
    auto* group = new QActionGroup(this);
    for (int n = 1; n <= ShapeMap::kLargestGrid; ++n) {
        QAction* action = grids->addAction(QStringLiteral("%1 × %1").arg(n));
        action->setObjectName(QStringLiteral("ShapeMapGrid%1").arg(n));
        action->setCheckable(true);
        action->setChecked(n == grid_);
        action->setActionGroup(group);
        connect(action, &QAction::triggered, this, [this, n] { setGrid(n); });
        gridActions_[static_cast<std::size_t>(n - 1)] = action;
    }
}

void ShapeMapWindow::follow(ShapeStars stars, int width, int height, const QString& source) {
    stars_ = std::move(stars);
    width_ = width;
    height_ = height;
    source_ = source;
    earlierNote_->hide();
    if (!stars_) showTooMany();
    updateScreen();
}

void ShapeMapWindow::showTooMany() {
    map_.reset();
    requested_ = {};
    picture_->setPicture({});
    copyAction_->setEnabled(false);
    saveAction_->setEnabled(false);
    reading_->setText(
        QStringLiteral("「%1」は星が多いため、星像マップの星を残していません。この窓を開いたまま"
                       "「描画」すると作られます。")
            .arg(QFileInfo(source_).fileName()));
}

void ShapeMapWindow::markEarlier() {
    if (!stars_) return;
    earlierNote_->setText(
        QStringLiteral(
            "前回完了した描画（「%1」）の星像マップです。最後の描画は完了しませんでした。")
            .arg(QFileInfo(source_).fileName()));
    earlierNote_->show();
}

bool ShapeMapWindow::earlier() const {
    return !earlierNote_->isHidden();
}

void ShapeMapWindow::setNight(bool night) {
    night_ = night;
    updateScreen();
}

void ShapeMapWindow::setGrid(int grid) {
    grid_ = std::clamp(grid, 1, ShapeMap::kLargestGrid);
    gridActions_[static_cast<std::size_t>(grid_ - 1)]->setChecked(true);
    updateScreen();
}

void ShapeMapWindow::updateScreen() {
    // A hidden window makes nothing; it catches up when it is shown.
    if (!isVisible() || !stars_) return;
    const Request request{stars_, grid_, night_, picture_->deviceWidth()};
    if (request == requested_) return;
    requested_ = request;
    if (!map_) reading_->setText(QStringLiteral("星像マップを作っています…"));
    // The map is made again only where the stars or the grid changed.
    std::shared_ptr<const ShapeMap> kept;
    if (map_ && map_->sharedStars() == stars_ && map_->grid() == grid_) kept = map_;
    const auto look = night_ ? ShapeMapPicture::Look::Night : ShapeMapPicture::Look::Day;
    screen_.start([this, kept, stars = stars_, width = width_, height = height_, grid = grid_, look,
                   pixels = request.width, ratio = picture_->devicePixelRatioF()] {
        const std::shared_ptr<const ShapeMap> map =
            kept ? kept : std::make_shared<const ShapeMap>(stars, width, height, grid);
        QImage drawn = ShapeMapPicture::render(*map, look, pixels, ShapeMapPicture::Caption::None);
        if (drawn.isNull()) throw std::bad_alloc();
        drawn.setDevicePixelRatio(ratio);
        return WindowWork::Finish([this, map, drawn] { present(map, drawn); });
    });
}

void ShapeMapWindow::present(const std::shared_ptr<const ShapeMap>& map, const QImage& picture) {
    map_ = map;
    picture_->setPicture(picture);
    QStringList lines;
    for (const ReadingLine& line : map_->reading()) {
        lines << QStringLiteral("・") + QString::fromStdString(line.text);
    }
    reading_->setText(lines.join(QLatin1Char('\n')));
    const QString file = QFileInfo(source_).fileName();
    setWindowTitle(file.isEmpty() ? QStringLiteral("星像マップ")
                                  : QStringLiteral("星像マップ — %1").arg(file));
    copyAction_->setEnabled(true);
    saveAction_->setEnabled(true);
}

QString ShapeMapWindow::readingText() const {
    return reading_->text();
}

void ShapeMapWindow::exportPicture(std::function<void(const QImage&)> use) {
    if (!map_) return;
    setCursor(Qt::BusyCursor);
    export_.start([this, map = map_, use = std::move(use)] {
        const QImage picture = ShapeMapPicture::render(*map, ShapeMapPicture::Look::Day);
        if (picture.isNull()) throw std::bad_alloc();
        return WindowWork::Finish([this, picture, use] {
            unsetCursor();
            use(picture);
        });
    });
}

void ShapeMapWindow::copyPicture() {
    exportPicture([this](const QImage& picture) {
        const QString fault = PlotClipboard::put(
            picture, QStringLiteral("星像マップの画像をクリップボードに置けませんでした。"));
        if (!fault.isEmpty()) messages_.show(this, fault);
    });
}

void ShapeMapWindow::savePicture() {
    if (!map_) return;
    // Always PNG: a name chosen without ".png" gets it, and the question about replacing is
    // asked of the name written.
    const std::optional<QString> chosen =
        dialogs_.save(this, proposedName(), FileDialogDriver::ReplaceQuestion::Caller);
    if (!chosen) return;
    QString target = *chosen;
    if (!target.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        target += QLatin1String(".png");
    }
    const QFileInfo existing(target);
    if (existing.exists() &&
        !messages_.ask(this, QStringLiteral("「%1」は既にあります。置き換えますか？")
                                 .arg(shownName(existing.fileName())))) {
        return;
    }
    savedFolder_ = existing.absolutePath();
    exportPicture([this, target](const QImage& picture) {
        const QString fault = ImageFile::save(picture, target);
        if (!fault.isEmpty()) messages_.show(this, fault);
    });
}

// The run's file with "-map.png" for its extension, in the folder of the last picture saved or
// else beside the file.
QString ShapeMapWindow::proposedName() const {
    const QFileInfo source(source_);
    const QString name = (source_.isEmpty() ? QStringLiteral("shape") : source.completeBaseName()) +
                         QStringLiteral("-map.png");
    const QString folder = !savedFolder_.isEmpty() ? savedFolder_
                           : source_.isEmpty()     ? QString()
                                                   : source.absolutePath();
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

void ShapeMapWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateScreen();
}

void ShapeMapWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (map_) resized_.start();
}

void ShapeMapWindow::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
}
