#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <new>

#include "app/about_box.h"
#include "app/control_placement.h"
#include "app/control_tips.h"
#include "app/double_star_window.h"
#include "app/frame_list_window.h"
#include "app/plot_view.h"
#include "app/plot_viewer.h"
#include "app/run_progress.h"
#include "app/run_worker.h"
#include "app/settings_store.h"
#include "app/shape_map_window.h"
#include "app/status_line.h"
#include "app/version.h"
#include "app/window_look.h"
#include "app/window_placement.h"
#include "app/window_shortcuts.h"
#include "app/window_sources.h"
#include "platform/file_dialog.h"
#include "platform/image_file.h"
#include "platform/message_box.h"
#include "platform/plot_clipboard.h"
#include "platform/qt_text.h"
#include "plot/camera_preset.h"
#include "plot/plot_settings.h"
#include "raster/bitmap_name.h"
#include "text/messages.h"
#include "text/parse_number.h"

namespace {

// The controls and the plot area; the status line adds its rows below them.
constexpr QSize kClientSize(639, 524);
constexpr QSize kWindowSize(kClientSize.width(), kClientSize.height() + StatusLine::kHeight);
constexpr int kWindowGap = 8;
// The controls take the rows above the plot; on a short screen only the plot area shrinks,
// down to this many rows of it.
constexpr int kPlotTop = 136;
constexpr int kSmallestPlotRows = 64;
// The title bar and frame a window manager adds, allowed for until the window knows its own.
constexpr int kFrameAllowance = 32;

// The text follows the bar only when its value has changed: arrow and trough clicks, keys,
// and the end of a thumb drag, not the thumb while it is dragged.
QScrollBar* placeScrollBar(QWidget* parent, const char* name, const QRect& where, int minimum,
                           int maximum, int pageStep, QLineEdit* follower) {
    auto* bar = placeControl<QScrollBar>(parent, QLatin1String(name), where);
    bar->setOrientation(Qt::Horizontal);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setTracking(false);
    QObject::connect(bar, &QScrollBar::valueChanged, follower,
                     [follower](int value) { follower->setText(QString::number(value)); });
    return bar;
}

QString memoryFault(int width, int height) {
    return qtText(Messages::plotMemory(width, height));
}

// The files and folders a drop names.
QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.append(url.toLocalFile());
    }
    return files;
}

}  // namespace

MainWindow::MainWindow(FileDialogDriver& dialogs, MessageBox& messages, ThreadBudget& threads,
                       SettingsStore* store)
    : dialog_(new FileDialog(dialogs, this)),
      dialogs_(dialogs),
      messages_(messages),
      threads_(threads),
      store_(store) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quendra Ver.") + QLatin1String(kQuendraVersion));
    setFixedSize(kWindowSize);
    setAcceptDrops(true);
    dialog_->setObjectName(QStringLiteral("CommonDialog1"));
    buildCameraPresets();
    buildSensorSize();
    buildTopRows();
    buildButtonRows();
    buildPlot();
    buildPlotMenu();
    status_ = new StatusLine(this);
    // A file dropped anywhere on the window is the star list, also over a text box.
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->setAcceptDrops(false);
    const CameraPreset start = CameraPreset::defaultCamera();
    if (!picture1_->resizePlot(start.width, start.height)) {
        messages_.show(this, memoryFault(start.width, start.height));
    }
    doubleStars_ = std::make_unique<DoubleStarWindow>(*dialog_, messages_);
    connect(doubleStars_.get(), &DoubleStarWindow::drawRequested, this, &MainWindow::draw);
    sources_ = std::make_unique<WindowSources>();
    worker_ = std::make_unique<RunWorker>(threads_);
    shapeMap_ = new ShapeMapWindow(threads_, dialogs, messages_, this);
    connect(worker_.get(), &RunWorker::finished, this, &MainWindow::runEnded);
    ControlTips::apply(*this);
    shortcuts_ = new WindowShortcuts(*this, *doubleStars_);
    for (QLineEdit* side : {text1_, text2_}) {
        connect(side, &QLineEdit::textChanged, this, &MainWindow::followSensorSize);
    }
    if (store_ != nullptr) restoreSession();
    plotChanged();
}

MainWindow::~MainWindow() {
    stopRun();
}

void MainWindow::buildCameraPresets() {
    auto* frame = placeControl<QGroupBox>(this, QStringLiteral("Frame1"), {8, 8, 97, 97});
    const auto presets = CameraPreset::all();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const int index = static_cast<int>(i);
        option1_[i] =
            placeControl<QRadioButton>(frame, indexedName("Option1", index),
                                       {8, 16 + 24 * index, 81, 17}, qtText(presets[i].caption));
        connect(option1_[i], &QRadioButton::clicked, this,
                [this, index] { applyCameraPreset(index); });
    }
    option1_[CameraPreset::kDefault]->setChecked(true);
}

void MainWindow::buildSensorSize() {
    const ControlTexts start;
    placeLabel(this, QStringLiteral("Label1"), {112, 16, 25, 25}, QStringLiteral("横"));
    text1_ = placeControl<QLineEdit>(this, QStringLiteral("Text1"), {136, 8, 41, 25},
                                     qtText(start.width));
    placeLabel(this, QStringLiteral("Label2"), {112, 48, 25, 25}, QStringLiteral("縦"));
    text2_ = placeControl<QLineEdit>(this, QStringLiteral("Text2"), {136, 40, 41, 25},
                                     qtText(start.height));
    auto* swap =
        placeButton(this, QStringLiteral("Command7"), {120, 80, 57, 25}, QStringLiteral("横<>縦"));
    connect(swap, &QPushButton::clicked, this, &MainWindow::swapSides);
    drawOnEnter(text1_);
    drawOnEnter(text2_);
}

void MainWindow::buildTopRows() {
    const ControlTexts start;
    placeLabel(this, QStringLiteral("Label13"), {208, 8, 49, 17}, QStringLiteral("星の濃度"));
    text9_ = placeControl<QLineEdit>(this, QStringLiteral("Text9"), {280, 8, 33, 18},
                                     qtText(start.grey));
    hScroll2_ = placeScrollBar(this, "HScroll2", {320, 8, 89, 17}, 0, 255, 25, text9_);
    text7_ = placeControl<QLineEdit>(this, QStringLiteral("Text7"), {424, 6, 33, 18},
                                     qtText(start.areaMin));
    placeLabel(this, QStringLiteral("Label14"), {456, 10, 49, 17}, QStringLiteral("≦表示＜"));
    text8_ = placeControl<QLineEdit>(this, QStringLiteral("Text8"), {504, 6, 41, 18},
                                     qtText(start.areaMax));
    auto* choose = placeButton(this, QStringLiteral("Command3"), {552, 8, 73, 33},
                               QStringLiteral("解析データ"));
    connect(choose, &QPushButton::clicked, this, &MainWindow::chooseStarList);

    placeLabel(this, QStringLiteral("Label5"), {208, 35, 113, 17},
               QStringLiteral("星の大きさ M:30"));
    text3_ = placeControl<QLineEdit>(this, QStringLiteral("Text3"), {312, 32, 33, 18},
                                     qtText(start.starSize));
    placeLabel(this, QStringLiteral("Label4"), {368, 32, 17, 17}, QStringLiteral("L"));
    hScroll1_ = placeScrollBar(this, "HScroll1", {384, 32, 113, 17}, 1, 60, 10, text3_);
    hScroll1_->setValue(static_cast<int>(ParseNumber(start.starSize)));
    placeLabel(this, QStringLiteral("Label3"), {504, 32, 17, 17}, QStringLiteral("S"));
    for (QLineEdit* box : {text3_, text7_, text8_, text9_}) drawOnEnter(box);
}

void MainWindow::drawOnEnter(QLineEdit* box) {
    connect(box, &QLineEdit::returnPressed, this, &MainWindow::draw);
}

void MainWindow::buildButtonRows() {
    const ControlTexts start;
    check1_ = placeControl<QCheckBox>(this, QStringLiteral("Check1"), {208, 64, 129, 17},
                                      QStringLiteral("サブピクセル処理"));
    check1_->setChecked(start.subPixel);
    auto* toggle = placeButton(this, QStringLiteral("Command9"), {344, 64, 73, 25},
                               QStringLiteral("重星処理"));
    connect(toggle, &QPushButton::clicked, this, &MainWindow::toggleDoubleStarWindow);
    auto* exportImage = placeButton(this, QStringLiteral("Command8"), {552, 56, 73, 33},
                                    QStringLiteral("画像保存"));
    connect(exportImage, &QPushButton::clicked, this, &MainWindow::saveImage);

    check2_ = placeControl<QCheckBox>(this, QStringLiteral("Check2"), {208, 104, 89, 17},
                                      QStringLiteral("オートクリア"));
    command10_ = placeButton(this, QStringLiteral("Command10"), {304, 96, 81, 33},
                             QStringLiteral("画面クリア"));
    // "画面クリア" is offered exactly while the run does not clear by itself.
    connect(check2_, &QCheckBox::toggled, command10_,
            [this](bool on) { command10_->setVisible(!on); });
    check2_->setChecked(start.autoClear);
    command10_->setVisible(!start.autoClear);
    connect(command10_, &QPushButton::clicked, this, &MainWindow::clearPlot);
    auto* drawButton =
        placeButton(this, QStringLiteral("Command1"), {416, 96, 121, 33}, QStringLiteral("描画"));
    connect(drawButton, &QPushButton::clicked, this, &MainWindow::draw);
    auto* exitButton =
        placeButton(this, QStringLiteral("Command2"), {552, 96, 73, 33}, QStringLiteral("終了"));
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
}

void MainWindow::buildPlot() {
    placeLabel(this, QStringLiteral("Label11"), {24, 120, 97, 25},
               QStringLiteral("左上　等倍画像"));
    picture1_ = new PlotView(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->move(8, kPlotTop);
}

void MainWindow::buildPlotMenu() {
    plotMenu_ = new QMenu(this);
    plotMenu_->setObjectName(QStringLiteral("PlotMenu"));
    const auto add = [this](const char* name, const QString& caption, void (MainWindow::*step)()) {
        QAction* action = plotMenu_->addAction(caption, this, step);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    add("ShowWholePlot", QStringLiteral("全体を表示"), &MainWindow::showWholePlot);
    add("ShowShapeMap", QStringLiteral("星像マップ"), &MainWindow::showShapeMap);
    add("CopyPlot", QStringLiteral("クリップボードにコピー"), &MainWindow::copyPlot);
    add("SavePlot", QStringLiteral("画像保存"), &MainWindow::saveImage);
    add("FrameList", QStringLiteral("フレーム一覧"), &MainWindow::showFrameList);
    plotMenu_->addSeparator();
    nightAction_ = plotMenu_->addAction(QStringLiteral("夜間モード"));
    nightAction_->setObjectName(QStringLiteral("NightMode"));
    nightAction_->setCheckable(true);
    connect(nightAction_, &QAction::toggled, this, &MainWindow::setNightMode);
    plotMenu_->addSeparator();
    add("ResetSettings", QStringLiteral("初期設定に戻す"), &MainWindow::resetSettings);
    add("About", QStringLiteral("Quendra について"), &MainWindow::showAbout);
    picture1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picture1_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { plotMenu_->popup(picture1_->mapToGlobal(at)); });
}

void MainWindow::applyCameraPreset(int index) {
    const CameraPreset preset = CameraPreset::all()[static_cast<std::size_t>(index)];
    if (!picture1_->resizePlot(preset.width, preset.height)) {
        messages_.show(this, memoryFault(preset.width, preset.height));
    }
    plotChanged();
    text1_->setText(QString::number(preset.width));
    text2_->setText(QString::number(preset.height));
}

void MainWindow::swapSides() {
    const QString width = text1_->text();
    text1_->setText(text2_->text());
    text2_->setText(width);
}

void MainWindow::chooseStarList() {
    // A cancel stores the name the dialog already held, as a choice stores the new one; only a
    // choice takes a photograph's size.
    if (dialog_->showOpen(this)) {
        takeStarFile(dialog_->fileName());
        return;
    }
    starFile_ = dialog_->fileName();
    guarded([this] { showChosenFile(false); });
}

void MainWindow::takeStarFile(const QString& path) {
    dialog_->setFileName(path);
    starFile_ = path;
    guarded([this] { showChosenFile(true); });
}

void MainWindow::showChosenFile(bool takeSize) {
    if (starFile_.isEmpty()) {
        status_->showFile({}, {});
        return;
    }
    const WindowSources::FileFacts facts = WindowSources::factsOf(starFile_);
    status_->showFile(starFile_, facts.kind);
    if (takeSize && facts.size) {
        text1_->setText(QString::number(facts.size->width()));
        text2_->setText(QString::number(facts.size->height()));
    }
}

void MainWindow::followSensorSize() {
    bool ok = false;
    const int width = text1_->text().trimmed().toInt(&ok);
    const int height = ok ? text2_->text().trimmed().toInt(&ok) : 0;
    const auto presets = CameraPreset::all();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        // A swapped size is still that camera's: the swap keeps the button.
        const bool match = ok && ((width == presets[i].width && height == presets[i].height) ||
                                  (width == presets[i].height && height == presets[i].width));
        if (option1_[i]->isChecked() == match) continue;
        // Option buttons in a frame keep one checked; clearing the last one needs that rule off.
        option1_[i]->setAutoExclusive(false);
        option1_[i]->setChecked(match);
        option1_[i]->setAutoExclusive(true);
    }
}

ControlTexts MainWindow::controls() const {
    ControlTexts controls;
    controls.width = text1_->text().toStdString();
    controls.height = text2_->text().toStdString();
    controls.starSize = text3_->text().toStdString();
    controls.areaMin = text7_->text().toStdString();
    controls.areaMax = text8_->text().toStdString();
    controls.grey = text9_->text().toStdString();
    controls.subPixel = check1_->isChecked();
    controls.autoClear = check2_->isChecked();
    controls.decimalSeparator = QLocale().decimalPoint().toStdString();
    return controls;
}

template <class Step>
void MainWindow::guarded(Step step) {
    try {
        step();
    } catch (const std::bad_alloc&) {
        messages_.show(this, qtText(Messages::outOfMemory()));
    }
}

void MainWindow::draw() {
    // A run locks the windows while it goes on; nothing may start a second one.
    if (running_) return;
    guarded([this] {
        // What the run reads is taken now: nothing the user touches meanwhile changes it.
        startRun({controls(), doubleStars_->table(), nativeName(starFile_)}, sources_->opener());
    });
}

PlotRequest MainWindow::frameSettings() const {
    return {controls(), doubleStars_->table(), {}};
}

bool MainWindow::showFrame(const PlotRequest& request, const StarSourceOpener& stars) {
    if (running_) return false;
    guarded([&] { startRun(request, stars); });
    return true;
}

void MainWindow::showFrameList() {
    guarded([this] {
        if (frameList_ == nullptr) {
            frameList_ = new FrameListWindow(*this, dialogs_, messages_, threads_, this);
            if (!frameListPlace_.isEmpty()) frameList_->restoreGeometry(frameListPlace_);
        }
        frameList_->show();
        frameList_->raise();
        frameList_->activateWindow();
    });
}

void MainWindow::startRun(const PlotRequest& request, const StarSourceOpener& open) {
    // The map's window shows any run at once when opened later, as long as the stars are few;
    // a list of millions keeps their shapes only while the window is open.
    worker_->keepShapesOfAtMost(shapeMap_->isVisible() ? SIZE_MAX : kShapesKeptUnseen);
    if (!worker_->start(request, open, picture1_->surface())) {
        messages_.show(this, qtText(Messages::outOfMemory()));  // no thread: its stack is memory
        return;
    }
    // The worker has the plot's pixels: the screen keeps them as they were until they are back.
    picture1_->setFrozen(true);
    if (viewer_ != nullptr) viewer_->setFrozen(true);
    running_ = true;
    runFile_ = qtName(request.starFile);
    runStarSize_ = qtText(request.controls.starSize);
    status_->runStarted();
    progress_ = std::make_unique<RunProgress>(this, *worker_);
}

void MainWindow::runEnded() {
    if (!running_) return;  // already collected by stopRun()
    const RunResult result = worker_->finish(picture1_->surface());
    progress_.reset();
    running_ = false;
    picture1_->setFrozen(false);
    if (viewer_ != nullptr) viewer_->setFrozen(false);
    plotChanged();
    guarded([this, &result] { report(result); });
    emit runFinished();
}

void MainWindow::stopRun() {
    if (!running_) return;
    worker_->finish(picture1_->surface(), true);
    progress_.reset();
    running_ = false;
}

void MainWindow::report(const RunResult& result) {
    if (!result.done()) {
        // The counts shown are an earlier run's now, whatever the plot shows.
        status_->runEnded();
        if (!countsFile_.isEmpty()) doubleStars_->markCountsEarlier(countsFile_);
        shapeMap_->markEarlier();
    }
    // A cancelled run stops as a stopped run does, without a message.
    if (result.cancelled()) return;
    if (result.faulted()) {
        QString detail = qtText(result.fault().detail);
        if (!detail.isEmpty()) {
            detail = QStringLiteral("「%1」: %2").arg(shownName(runFile_), detail);
        }
        messages_.show(this, qtText(result.fault().message), detail);
        return;
    }
    doubleStars_->showCounts(result.countTexts);
    const RasterSurface& plot = picture1_->surface();
    shapeMap_->follow(worker_->takeShapes(), plot.width(), plot.height(), runFile_);
    countsFile_ = runFile_;
    status_->runCompleted(
        runFile_, result.recordsRead, result.starsDrawn, result.starsOutside,
        PlotSettings::oversizedStars(runStarSize_.toStdString()) ? runStarSize_ : QString());
    // Where the windows must overlap (a small screen, a large scale), the counts come to the
    // front; the focus stays where it is.
    if (doubleStars_->isVisible() && doubleStars_->frameGeometry().intersects(frameGeometry())) {
        doubleStars_->raise();
    }
    putOnClipboard();
}

bool MainWindow::putOnClipboard() {
    const QImage copy = ImageFile::copy(picture1_->surface());
    if (copy.isNull()) {
        messages_.show(this, qtText(Messages::outOfMemory()));
        return false;
    }
    const QString fault = PlotClipboard::put(copy);
    if (!fault.isEmpty()) messages_.show(this, fault);
    return fault.isEmpty();
}

void MainWindow::plotChanged() {
    picture1_->refresh();
    if (viewer_ != nullptr) viewer_->refresh();
    status_->showPlotSize(picture1_->surface().width(), picture1_->surface().height());
}

void MainWindow::clearPlot() {
    picture1_->clearPlot();
    if (viewer_ != nullptr) viewer_->refresh();
}

void MainWindow::saveImage() {
    // The bitmap's own name is asked about, not the name chosen: they differ when the chosen
    // one has another extension.
    if (!dialog_->showSave(this, FileDialogDriver::ReplaceQuestion::Caller)) return;
    guarded([this] {
        const QString target = qtName(bitmapFileName(nativeName(dialog_->fileName())));
        const QFileInfo existing(target);
        if (existing.exists() &&
            !messages_.ask(this, QStringLiteral("「%1」は既にあります。置き換えますか？")
                                     .arg(shownName(existing.fileName())))) {
            return;
        }
        const QString fault = ImageFile::save(picture1_->surface(), target);
        if (!fault.isEmpty()) messages_.show(this, fault);
    });
}

void MainWindow::copyPlot() {
    guarded([this] { putOnClipboard(); });
}

void MainWindow::showWholePlot() {
    guarded([this] {
        if (viewer_ == nullptr) {
            viewer_ = new PlotViewer(picture1_->surface(), this);
            viewer_->setNight(night_);
            if (!viewerPlace_.isEmpty()) viewer_->restoreGeometry(viewerPlace_);
            viewer_->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(viewer_, &QWidget::customContextMenuRequested, this,
                    [this](const QPoint& at) { plotMenu_->popup(viewer_->mapToGlobal(at)); });
        }
        viewer_->refresh();
        viewer_->show();
        viewer_->raise();
        viewer_->activateWindow();
    });
}

void MainWindow::showShapeMap() {
    shapeMapPlaced_ = true;
    shapeMap_->show();
    shapeMap_->raise();
    shapeMap_->activateWindow();
}

void MainWindow::setNightMode(bool on) {
    night_ = on;
    applyNightLook(on);
    picture1_->setNight(on);
    if (viewer_ != nullptr) viewer_->setNight(on);
    shapeMap_->setNight(on);
    nightAction_->setChecked(on);
}

void MainWindow::toggleDoubleStarWindow() {
    if (doubleStars_->isVisible()) {
        doubleStars_->hide();
        return;
    }
    if (!doubleStarsPlaced_) placeDoubleStarWindow();
    doubleStars_->showOnTop();
}

// The first time it is shown, the double-star window goes beside the main window where the
// screen has room, else where it hides the least of the controls; after that it stays where
// the user left it.
void MainWindow::placeDoubleStarWindow() {
    doubleStarsPlaced_ = true;
    const QScreen* shown = screen();
    if (shown == nullptr) return;
    const QRect main = frameGeometry();
    const QRect controls(main.topLeft(),
                         QSize(main.width(), geometry().top() - main.top() + kPlotTop));
    // Not shown yet, the window knows no frame of its own; it will get one like the main one's.
    const QSize framed = doubleStars_->size() + (main.size() - size());
    doubleStars_->move(placeBeside(main, controls, framed, shown->availableGeometry(), kWindowGap));
}

// On a screen too short for the window (a large scale factor), the plot area shrinks so that
// the whole window is seen; the controls keep their places.
void MainWindow::fitToScreen() {
    const QScreen* shown = screen();
    if (shown == nullptr) return;
    const int frame = frameGeometry().height() - height();
    const int room = shown->availableGeometry().height() - (frame > 0 ? frame : kFrameAllowance);
    const int rows =
        std::clamp(room, kPlotTop + kSmallestPlotRows + StatusLine::kHeight, kWindowSize.height());
    frameFitted_ = frame;
    if (rows != height()) setFixedSize(kWindowSize.width(), rows);
    const QRect available = shown->availableGeometry();
    if (isVisible() && frameGeometry().bottom() > available.bottom()) {
        move(x(), std::max(available.top(), available.bottom() + 1 - frameGeometry().height()));
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    fitToScreen();
    if (!screenFollowed_ && windowHandle() != nullptr) {
        // Moved to another screen, the window fits that one: shorter, or whole again.
        screenFollowed_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { fitToScreen(); });
    }
    QWidget::showEvent(event);
}

// The window manager tells the frame once the window is shown; it is taken into account then.
void MainWindow::moveEvent(QMoveEvent* event) {
    if (frameGeometry().height() - height() != frameFitted_) fitToScreen();
    QWidget::moveEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!running_ && !droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

// One file is the star list; several, or a folder, are frames for the frame list.
void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedFiles(event->mimeData());
    if (running_ || paths.isEmpty()) return;
    event->acceptProposedAction();
    if (paths.size() == 1 && !QFileInfo(paths.constFirst()).isDir()) {
        takeStarFile(paths.constFirst());
        return;
    }
    showFrameList();
    if (frameList_ != nullptr) frameList_->addPaths(paths);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    stopRun();
    keepSession();
    doubleStars_->close();
    event->accept();
    emit quitRequested();
}

void MainWindow::showAbout() {
    if (about_ == nullptr) about_ = new AboutBox(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::popUpPlotMenu() {
    plotMenu_->popup(picture1_->mapToGlobal(QPoint(16, 16)));
}

void MainWindow::resetSettings() {
    if (!messages_.ask(this,
                       QStringLiteral("両方の窓の設定（横と縦、星の大きさと濃度、表示する面積、"
                                      "チェックボックス、重星処理の表、夜間モード）を"
                                      "初期設定に戻しますか？"))) {
        return;
    }
    guarded([this] { applySettings(WindowSettings{}); });
}

WindowSettings MainWindow::settings() const {
    WindowSettings settings;
    settings.controls = controls();
    settings.starSizeBar = hScroll1_->value();
    settings.greyBar = hScroll2_->value();
    settings.thresholds = doubleStars_->table();
    settings.night = night_;
    settings.shapeMapGrid = shapeMap_->grid();
    return settings;
}

void MainWindow::applySettings(const WindowSettings& settings) {
    // The bars first: a bar that moves writes its text, which the saved text then replaces.
    hScroll1_->setValue(settings.starSizeBar);
    hScroll2_->setValue(settings.greyBar);
    const ControlTexts& c = settings.controls;
    text1_->setText(qtText(c.width));
    text2_->setText(qtText(c.height));
    text3_->setText(qtText(c.starSize));
    text7_->setText(qtText(c.areaMin));
    text8_->setText(qtText(c.areaMax));
    text9_->setText(qtText(c.grey));
    check1_->setChecked(c.subPixel);
    check2_->setChecked(c.autoClear);
    doubleStars_->setTable(settings.thresholds);
    setNightMode(settings.night);
    shapeMap_->setGrid(settings.shapeMapGrid);
    // The plot takes the size of the texts, as at start-up; texts that give none leave it.
    const std::string separator = QLocale().decimalPoint().toStdString();
    const std::optional<int> width = PlotSettings::side(c.width, separator);
    const std::optional<int> height = PlotSettings::side(c.height, separator);
    const RasterSurface& plot = picture1_->surface();
    if (width && height && (*width != plot.width() || *height != plot.height())) {
        if (!picture1_->resizePlot(*width, *height)) {
            messages_.show(this, memoryFault(*width, *height));
        }
        plotChanged();
    }
}

// The last session's settings, file and window places; a file that is gone is not chosen again,
// but the dialog still opens in its folder.
void MainWindow::restoreSession() {
    const SettingsStore::Session session = store_->load();
    applySettings(session.settings);
    dialog_->setFileName(session.dialogFile);
    if (!session.starFile.isEmpty() && QFileInfo(session.starFile).isFile()) {
        starFile_ = session.starFile;
        guarded([this] { showChosenFile(false); });
    }
    if (!session.mainPlace.isEmpty()) restoreGeometry(session.mainPlace);
    if (!session.doubleStarPlace.isEmpty() &&
        doubleStars_->restoreGeometry(session.doubleStarPlace)) {
        doubleStarsPlaced_ = true;
    }
    viewerPlace_ = session.viewerPlace;
    frameListPlace_ = session.frameListPlace;
    shapeMapPlaced_ =
        !session.shapeMapPlace.isEmpty() && shapeMap_->restoreGeometry(session.shapeMapPlace);
}

void MainWindow::keepSession() const {
    if (store_ == nullptr) return;
    SettingsStore::Session session;
    session.settings = settings();
    session.starFile = starFile_;
    session.dialogFile = dialog_->fileName();
    session.mainPlace = saveGeometry();
    if (doubleStarsPlaced_) session.doubleStarPlace = doubleStars_->saveGeometry();
    session.viewerPlace = viewer_ != nullptr ? viewer_->saveGeometry() : viewerPlace_;
    session.frameListPlace = frameList_ != nullptr ? frameList_->saveGeometry() : frameListPlace_;
    if (shapeMapPlaced_) session.shapeMapPlace = shapeMap_->saveGeometry();
    store_->save(session);
}
