#include "app/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "plot/camera_preset.h"
#include "app/control_placement.h"
#include "app/double_star_window.h"
#include "app/plot_view.h"
#include "app/version.h"
#include "raster/bitmap_name.h"
#include "platform/file_dialog.h"
#include "platform/image_file.h"
#include "platform/message_box.h"
#include "platform/plot_clipboard.h"
#include "plot/star_list.h"
#include "text/messages.h"
#include "text/parse_number.h"

namespace {

constexpr QSize kClientSize(639, 524);
constexpr int kWindowGap = 8;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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
    return QString::fromStdString(Messages::plotMemory(width, height));
}

}  // namespace

MainWindow::MainWindow(FileDialogDriver& dialogs, MessageBox& messages)
    : dialog_(new FileDialog(dialogs, this)), messages_(messages) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quendra Ver.") + QLatin1String(kQuendraVersion));
    setFixedSize(kClientSize);
    dialog_->setObjectName(QStringLiteral("CommonDialog1"));
    buildCameraPresets();
    buildSensorSize();
    buildTopRows();
    buildButtonRows();
    buildPlot();
    const CameraPreset start = CameraPreset::defaultCamera();
    if (!picture1_->resizePlot(start.width, start.height)) {
        messages_.show(this, memoryFault(start.width, start.height));
    }
    doubleStars_ = std::make_unique<DoubleStarWindow>(*dialog_, messages_);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildCameraPresets() {
    auto* frame = placeControl<QGroupBox>(this, QStringLiteral("Frame1"), {8, 8, 97, 97});
    const auto presets = CameraPreset::all();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const int index = static_cast<int>(i);
        option1_[i] =
            placeControl<QRadioButton>(frame, indexedName("Option1", index),
                                       {8, 16 + 24 * index, 81, 17}, qt(presets[i].caption));
        connect(option1_[i], &QRadioButton::clicked, this,
                [this, index] { applyCameraPreset(index); });
    }
    option1_[CameraPreset::kDefault]->setChecked(true);
}

void MainWindow::buildSensorSize() {
    const ControlTexts start;
    placeLabel(this, QStringLiteral("Label1"), {112, 16, 25, 25}, QStringLiteral("横"));
    text1_ = placeControl<QLineEdit>(this, QStringLiteral("Text1"), {136, 8, 41, 25},
                                     qt(start.width));
    placeLabel(this, QStringLiteral("Label2"), {112, 48, 25, 25}, QStringLiteral("縦"));
    text2_ = placeControl<QLineEdit>(this, QStringLiteral("Text2"), {136, 40, 41, 25},
                                     qt(start.height));
    auto* swap = placeControl<QPushButton>(this, QStringLiteral("Command7"), {120, 80, 57, 25},
                                           QStringLiteral("横<>縦"));
    connect(swap, &QPushButton::clicked, this, &MainWindow::swapSides);
}

void MainWindow::buildTopRows() {
    const ControlTexts start;
    placeLabel(this, QStringLiteral("Label13"), {208, 8, 49, 17}, QStringLiteral("星の濃度"));
    text9_ = placeControl<QLineEdit>(this, QStringLiteral("Text9"), {280, 8, 33, 18},
                                     qt(start.grey));
    hScroll2_ = placeScrollBar(this, "HScroll2", {320, 8, 89, 17}, 0, 255, 25, text9_);
    text7_ = placeControl<QLineEdit>(this, QStringLiteral("Text7"), {424, 6, 33, 18},
                                     qt(start.areaMin));
    placeLabel(this, QStringLiteral("Label14"), {456, 10, 49, 17}, QStringLiteral("≦表示＜"));
    text8_ = placeControl<QLineEdit>(this, QStringLiteral("Text8"), {504, 6, 41, 18},
                                     qt(start.areaMax));
    auto* choose = placeControl<QPushButton>(this, QStringLiteral("Command3"), {552, 8, 73, 33},
                                             QStringLiteral("解析データ"));
    connect(choose, &QPushButton::clicked, this, &MainWindow::chooseStarList);

    placeLabel(this, QStringLiteral("Label5"), {208, 35, 113, 17},
               QStringLiteral("星の大きさ M:30"));
    text3_ = placeControl<QLineEdit>(this, QStringLiteral("Text3"), {312, 32, 33, 18},
                                     qt(start.starSize));
    placeLabel(this, QStringLiteral("Label4"), {368, 32, 17, 17}, QStringLiteral("L"));
    hScroll1_ = placeScrollBar(this, "HScroll1", {384, 32, 113, 17}, 1, 60, 10, text3_);
    hScroll1_->setValue(static_cast<int>(ParseNumber(start.starSize)));
    placeLabel(this, QStringLiteral("Label3"), {504, 32, 17, 17}, QStringLiteral("S"));
}

void MainWindow::buildButtonRows() {
    const ControlTexts start;
    check1_ = placeControl<QCheckBox>(this, QStringLiteral("Check1"), {208, 64, 129, 17},
                                      QStringLiteral("サブピクセル処理"));
    check1_->setChecked(start.subPixel);
    auto* toggle = placeControl<QPushButton>(this, QStringLiteral("Command9"), {344, 64, 73, 25},
                                             QStringLiteral("重星処理"));
    connect(toggle, &QPushButton::clicked, this, &MainWindow::toggleDoubleStarWindow);
    auto* exportImage = placeControl<QPushButton>(this, QStringLiteral("Command8"),
                                                  {552, 56, 73, 33}, QStringLiteral("画像保存"));
    connect(exportImage, &QPushButton::clicked, this, &MainWindow::saveImage);

    check2_ = placeControl<QCheckBox>(this, QStringLiteral("Check2"), {208, 104, 89, 17},
                                      QStringLiteral("オートクリア"));
    command10_ = placeControl<QPushButton>(this, QStringLiteral("Command10"), {304, 96, 81, 33},
                                           QStringLiteral("画面クリア"));
    // "画面クリア" is offered exactly while the run does not clear by itself.
    connect(check2_, &QCheckBox::toggled, command10_,
            [this](bool on) { command10_->setVisible(!on); });
    check2_->setChecked(start.autoClear);
    command10_->setVisible(!start.autoClear);
    connect(command10_, &QPushButton::clicked, this, &MainWindow::clearPlot);
    auto* drawButton = placeControl<QPushButton>(this, QStringLiteral("Command1"),
                                                 {416, 96, 121, 33}, QStringLiteral("描画"));
    connect(drawButton, &QPushButton::clicked, this, &MainWindow::draw);
    auto* exitButton = placeControl<QPushButton>(this, QStringLiteral("Command2"),
                                                 {552, 96, 73, 33}, QStringLiteral("終了"));
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
}

void MainWindow::buildPlot() {
    placeLabel(this, QStringLiteral("Label11"), {24, 120, 97, 25},
               QStringLiteral("左上　等倍画像"));
    picture1_ = new PlotView(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->move(8, 136);
}

void MainWindow::applyCameraPreset(int index) {
    const CameraPreset preset = CameraPreset::all()[static_cast<std::size_t>(index)];
    if (!picture1_->resizePlot(preset.width, preset.height)) {
        messages_.show(this, memoryFault(preset.width, preset.height));
    }
    text1_->setText(QString::number(preset.width));
    text2_->setText(QString::number(preset.height));
}

void MainWindow::swapSides() {
    const QString width = text1_->text();
    text1_->setText(text2_->text());
    text2_->setText(width);
}

void MainWindow::chooseStarList() {
    // A cancel stores the name the dialog already held, as a choice stores the new one.
    dialog_->showOpen(this);
    starFile_ = dialog_->fileName();
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

void MainWindow::draw() {
    const PlotRequest request{controls(), doubleStars_->table(),
                              QFile::encodeName(starFile_).toStdString()};
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const RunResult result = runPlot(request, StarList::openSource, picture1_->surface());
    QGuiApplication::restoreOverrideCursor();
    picture1_->refresh();
    if (!result.completed) {
        QString detail = qt(result.detail);
        if (!detail.isEmpty())
            detail = QStringLiteral("星のリスト「%1」: %2").arg(starFile_, detail);
        messages_.show(this, qt(result.message), detail);
        return;
    }
    doubleStars_->showCounts(result.countTexts);
    const QString fault = PlotClipboard::put(ImageFile::copy(picture1_->surface()));
    if (!fault.isEmpty()) messages_.show(this, fault);
}

void MainWindow::clearPlot() {
    picture1_->clearPlot();
}

void MainWindow::saveImage() {
    if (!dialog_->showSave(this)) return;
    const std::string chosen = dialog_->fileName().toStdString();
    const QString target = qt(bitmapFileName(chosen));
    const QString fault = ImageFile::save(picture1_->surface(), target);
    if (!fault.isEmpty()) messages_.show(this, fault);
}

void MainWindow::toggleDoubleStarWindow() {
    if (doubleStars_->isVisible()) {
        doubleStars_->hide();
        return;
    }
    if (!doubleStarsPlaced_) placeDoubleStarWindow();
    doubleStars_->show();
    doubleStars_->raise();
}

// The first time it is shown, the double-star window goes beside the main window, as far as the
// screen allows; after that it stays where the user left it.
void MainWindow::placeDoubleStarWindow() {
    doubleStarsPlaced_ = true;
    const QRect main = frameGeometry();
    QPoint at(main.right() + 1 + kWindowGap, main.top());
    if (const QScreen* shown = screen()) {
        const QRect available = shown->availableGeometry();
        const QSize size = doubleStars_->frameGeometry().size();
        at.setX(std::max(available.left(), std::min(at.x(), available.right() + 1 - size.width())));
        at.setY(
            std::max(available.top(), std::min(at.y(), available.bottom() + 1 - size.height())));
    }
    doubleStars_->move(at);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    doubleStars_->close();
    event->accept();
    emit quitRequested();
}
