#include "app/double_star_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <new>

#include "app/control_placement.h"
#include "app/control_tips.h"
#include "app/threshold_cell.h"
#include "doublestar/lens_preset.h"
#include "doublestar/threshold_file.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "platform/text_file.h"
#include "text/messages.h"

namespace {

constexpr int kHeaderTop = 240;
constexpr int kFirstRowTop = 720;
constexpr int kRowPitch = 480;
constexpr int kLabelHeight = 255;
constexpr int kCellHeight = 270;

int rowTop(int row) {
    return kFirstRowTop + kRowPitch * row;
}

// Running out of memory ends the step with a message; the window goes on.
template <class Step>
void guarded(QWidget* window, MessageBox& messages, Step step) {
    try {
        step();
    } catch (const std::bad_alloc&) {
        messages.show(window, qtText(Messages::outOfMemory()));
    }
}

}  // namespace

DoubleStarWindow::DoubleStarWindow(FileDialog& dialog, MessageBox& messages)
    : dialog_(dialog), messages_(messages) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("重星処理"));
    const QRect client = fromTwips(0, 0, 6240, 5580);
    setFixedSize(client.size());
    buildHeaders();
    buildRows();
    buildBelowGrid();
    setTable(LensPreset::initial());
    ControlTips::apply(*this);
    for (ThresholdCell* cell : findChildren<ThresholdCell*>()) {
        connect(cell, &QLineEdit::returnPressed, this, &DoubleStarWindow::drawRequested);
    }
}

void DoubleStarWindow::buildHeaders() {
    placeLabel(this, indexedName("Label1", 0), fromTwips(240, kHeaderTop, 1095, kLabelHeight),
               QStringLiteral("星の面積"));
    placeLabel(this, indexedName("Label2", 0), fromTwips(1560, kHeaderTop, 735, kLabelHeight),
               QStringLiteral("単星数"));
    placeLabel(this, indexedName("Label3", 0), fromTwips(2400, kHeaderTop, 615, kLabelHeight),
               QStringLiteral("重星数"));
    placeLabel(this, QStringLiteral("Label4"), fromTwips(3240, kHeaderTop, 735, kLabelHeight),
               QStringLiteral("真円度"));
    placeLabel(this, QStringLiteral("Label5"), fromTwips(4080, kHeaderTop, 855, kLabelHeight),
               QStringLiteral("面積比"));
    placeLabel(this, QStringLiteral("Label6"), fromTwips(5160, kHeaderTop, 975, kLabelHeight),
               QStringLiteral("円の占有率"));
}

void DoubleStarWindow::buildRows() {
    for (const AreaClass& areaClass : AreaClass::all()) {
        const int c = areaClass.index;
        const auto i = static_cast<std::size_t>(c);
        const int top = rowTop(c);
        placeLabel(this, indexedName("Label1", c + 1), fromTwips(240, top, 1095, kLabelHeight),
                   qtText(areaClass.label));
        singles_[i] = placeLabel(this, indexedName("Label2", c + 1),
                                 fromTwips(1560, top, 735, kLabelHeight), QStringLiteral("0"));
        doubles_[i] = placeLabel(this, indexedName("Label3", c + 1),
                                 fromTwips(2400, top, 615, kLabelHeight), QStringLiteral("0"));
        circularity_[i] = placeControl<ThresholdCell>(this, indexedName("Text1", c),
                                                      fromTwips(3240, top, 735, kCellHeight));
        areaRatio_[i] = placeControl<ThresholdCell>(this, indexedName("Text2", c),
                                                    fromTwips(4200, top, 735, kCellHeight));
        occupancy_[i] = placeControl<ThresholdCell>(this, indexedName("Text3", c),
                                                    fromTwips(5280, top, 735, kCellHeight));
    }
}

void DoubleStarWindow::buildBelowGrid() {
    placeLabel(this, QStringLiteral("Label7"), fromTwips(360, 4600, 1095, kLabelHeight),
               QStringLiteral("放射角補正"));
    correction_ =
        placeControl<ThresholdCell>(this, QStringLiteral("Text4"), fromTwips(1560, 4560, 495, 270));
    auto* frame =
        placeControl<QGroupBox>(this, QStringLiteral("Frame1"), fromTwips(3600, 4320, 975, 735));
    and_ = placeControl<QRadioButton>(frame, QStringLiteral("Option1"),
                                      fromTwips(120, 160, 735, 180), QStringLiteral("AND"));
    or_ = placeControl<QRadioButton>(frame, QStringLiteral("Option2"),
                                     fromTwips(120, 390, 735, 255), QStringLiteral("OR"));
    auto* load = placeButton(this, QStringLiteral("Command3"), fromTwips(240, 5040, 975, 495),
                             QStringLiteral("読込み"));
    auto* save = placeButton(this, QStringLiteral("Command4"), fromTwips(1440, 5040, 975, 495),
                             QStringLiteral("保存"));
    placeLabel(this, QStringLiteral("Label8"), fromTwips(3360, 5280, 735, kLabelHeight),
               QStringLiteral("初期値"));
    auto* wide = placeButton(this, QStringLiteral("Command1"), fromTwips(4200, 5160, 975, 375),
                             QStringLiteral("広角"));
    auto* tele = placeButton(this, QStringLiteral("Command2"), fromTwips(5160, 5160, 975, 375),
                             QStringLiteral("望遠"));
    connect(load, &QPushButton::clicked, this, &DoubleStarWindow::loadTable);
    connect(save, &QPushButton::clicked, this, &DoubleStarWindow::saveTable);
    connect(wide, &QPushButton::clicked, this, &DoubleStarWindow::applyWideAnglePreset);
    connect(tele, &QPushButton::clicked, this, &DoubleStarWindow::applyTelephotoPreset);
}

void DoubleStarWindow::showOnTop() {
    // The window shows without being activated; where the platform activates it all the same,
    // the window that was active is again.
    const QPointer<QWidget> active = QApplication::activeWindow();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    raise();
    if (active != nullptr) active->activateWindow();
    if (focus != nullptr) focus->setFocus();
    // A window manager may put a window that does not take the focus beneath the active one;
    // once it is on the screen it is raised again.
    if (QWindow* shown = windowHandle()) {
        raiseWhenExposed_ = true;
        shown->installEventFilter(this);
    }
}

bool DoubleStarWindow::eventFilter(QObject* watched, QEvent* event) {
    if (raiseWhenExposed_ && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        raiseWhenExposed_ = false;
        QMetaObject::invokeMethod(this, "raise", Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

ThresholdTable DoubleStarWindow::table() const {
    ThresholdTable table;
    for (std::size_t c = 0; c < AreaClass::kCount; ++c) {
        table.circularity[c] = circularity_[c]->text().toStdString();
        table.areaRatio[c] = areaRatio_[c]->text().toStdString();
        table.circleOccupancy[c] = occupancy_[c]->text().toStdString();
    }
    table.radialAngleCorrection = correction_->text().toStdString();
    table.andSelected = and_->isChecked();
    return table;
}

void DoubleStarWindow::setTable(const ThresholdTable& table) {
    for (std::size_t c = 0; c < AreaClass::kCount; ++c) {
        circularity_[c]->setText(qtText(table.circularity[c]));
        areaRatio_[c]->setText(qtText(table.areaRatio[c]));
        occupancy_[c]->setText(qtText(table.circleOccupancy[c]));
    }
    correction_->setText(qtText(table.radialAngleCorrection));
    // One of the two is always selected, so the mode shown is the mode a run uses.
    (table.andSelected ? and_ : or_)->setChecked(true);
}

void DoubleStarWindow::showCounts(const CountTexts& counts) {
    earlier_ = false;
    for (std::size_t row = 0; row < AreaClass::kCount; ++row) {
        singles_[row]->setText(qtText(counts.single[row]));
        doubles_[row]->setText(qtText(counts.doubles[row]));
        for (QLabel* cell : {singles_[row], doubles_[row]}) {
            cell->setForegroundRole(QPalette::WindowText);
            cell->setToolTip(ControlTips::of(objectName(), cell->objectName()));
        }
    }
}

void DoubleStarWindow::markCountsEarlier(const QString& file) {
    earlier_ = true;
    const QString note =
        QStringLiteral("前回完了した描画（「%1」）の数です。最後の描画は完了しませんでした。")
            .arg(QFileInfo(file).fileName());
    for (std::size_t row = 0; row < AreaClass::kCount; ++row) {
        for (QLabel* cell : {singles_[row], doubles_[row]}) {
            cell->setForegroundRole(QPalette::PlaceholderText);
            cell->setToolTip(note);
        }
    }
}

void DoubleStarWindow::applyWideAnglePreset() {
    setTable(LensPreset::wideAngle());
}

void DoubleStarWindow::applyTelephotoPreset() {
    setTable(LensPreset::telephoto());
}

void DoubleStarWindow::saveTable() {
    // The proposal builds on the last name used anywhere; a cancel keeps it, so the next save
    // appends once more.
    dialog_.setFileName(dialog_.fileName() + QStringLiteral("detail.txt"));
    if (!dialog_.showSave(this)) return;
    guarded(this, messages_, [this] {
        const QString fault = TextFile::write(dialog_.fileName(), ThresholdFile::format(table()));
        if (!fault.isEmpty()) messages_.show(this, fault);
    });
}

void DoubleStarWindow::loadTable() {
    if (!dialog_.showOpen(this)) return;
    guarded(this, messages_, [this] { load(dialog_.fileName()); });
}

void DoubleStarWindow::load(const QString& path) {
    std::string content;
    const QString fault = TextFile::read(path, content);
    if (!fault.isEmpty()) {
        messages_.show(this, fault);
        return;
    }
    // The whole file is checked before any cell changes; the fault reads as in the plotter.
    const Result<ThresholdTable> loaded = ThresholdFile::parse(content);
    if (!loaded.done()) {
        messages_.show(this, qtText(Messages::thresholdFileUnreadable(nativeName(path))),
                       qtText(loaded.fault().message));
        return;
    }
    setTable(loaded.value());
}
