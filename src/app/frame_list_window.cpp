#include "app/frame_list_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <new>

#include "app/control_tips.h"
#include "app/folder_watcher.h"
#include "app/frame_chart.h"
#include "app/frame_host.h"
#include "app/frame_runner.h"
#include "app/frame_table_model.h"
#include "app/rejection_mover.h"
#include "output/output_file.h"
#include "platform/file_dialog_driver.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "sources/input_folder.h"
#include "sources/star_keeper.h"
#include "sources/star_sources.h"
#include "text/messages.h"

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QLatin1String(name));
    made->setAutoDefault(true);
    return made;
}

QString yesNo(bool on) {
    return on ? QStringLiteral("あり") : QStringLiteral("なし");
}

// The settings and limits a frame is run with, in two lines for the window's header.
QString settingsText(const PlotRequest& request) {
    const ControlTexts& c = request.controls;
    QString text =
        QStringLiteral(
            "横 %1 × 縦 %2　星の大きさ %3　星の濃度 %4　%5 ≦ 表示 ＜ %6　"
            "サブピクセル処理 %7　オートクリア %8")
            .arg(qtText(c.width), qtText(c.height), qtText(c.starSize), qtText(c.grey),
                 qtText(c.areaMin), qtText(c.areaMax), yesNo(c.subPixel), yesNo(c.autoClear));
    const ThresholdTable& t = request.thresholds;
    text += QStringLiteral("\n重星処理（真円度 / 面積比 / 円の占有率）:");
    for (const AreaClass& area : AreaClass::all()) {
        const auto k = static_cast<std::size_t>(area.index);
        text += QStringLiteral("　%1 %2 / %3 / %4")
                    .arg(qtText(area.label), qtText(t.circularity[k]), qtText(t.areaRatio[k]),
                         qtText(t.circleOccupancy[k]));
    }
    return text + QStringLiteral("　放射角補正 %1　%2")
                      .arg(qtText(t.radialAngleCorrection),
                           t.andSelected ? QStringLiteral("AND") : QStringLiteral("OR"));
}

// One cell of a copied table: a tab or a line end inside it would break the table apart.
QString tableCell(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

FrameListWindow::FrameListWindow(FrameHost& host, FileDialogDriver& dialogs, MessageBox& messages,
                                 ThreadBudget& threads, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host), dialogs_(dialogs), messages_(messages) {
    setObjectName(QStringLiteral("FrameList"));
    setWindowTitle(QStringLiteral("フレーム一覧"));
    setAcceptDrops(true);
    model_ = new FrameTableModel(this);
    watcher_ = new FolderWatcher(this);
    runner_ = std::make_unique<FrameRunner>(threads, ThreadBudget::cores());
    connect(runner_.get(), &FrameRunner::started, this, &FrameListWindow::frameStarted);
    connect(runner_.get(), &FrameRunner::finished, this, &FrameListWindow::framesFinished);
    connect(watcher_, &FolderWatcher::arrived, this, &FrameListWindow::add);
    connect(watcher_, &FolderWatcher::faulted, this,
            [this](const QString& message) { showStatus(message); });
    showAgain_.setSingleShot(true);
    showAgain_.setInterval(50);
    connect(&showAgain_, &QTimer::timeout, this, &FrameListWindow::showSelected);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    settings_ = new QLabel(this);
    settings_->setObjectName(QStringLiteral("FrameSettings"));
    settings_->setWordWrap(true);
    settings_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(settings_);
    buildButtons();
    buildRejection();
    buildViews();
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("FrameStatus"));
    layout->addWidget(status_);
    ControlTips::apply(*this);
    resize(1000, 680);
    showSettings();
    showStatus();
}

FrameListWindow::~FrameListWindow() = default;

void FrameListWindow::buildButtons() {
    auto* row = new QHBoxLayout;
    auto* files = button(this, "AddFiles", QStringLiteral("ファイルを追加"));
    auto* folder = button(this, "AddFolder", QStringLiteral("フォルダを追加"));
    watchButton_ = button(this, "WatchFolder", QStringLiteral("フォルダを監視"));
    auto* again = button(this, "Recalculate", QStringLiteral("再計算"));
    auto* stop = button(this, "StopAll", QStringLiteral("中止"));
    auto* csv = button(this, "SaveCsv", QStringLiteral("CSV に保存"));
    auto* copy = button(this, "CopyTable", QStringLiteral("表をコピー"));
    connect(files, &QPushButton::clicked, this, &FrameListWindow::addFiles);
    connect(folder, &QPushButton::clicked, this, &FrameListWindow::addFolder);
    connect(watchButton_, &QPushButton::clicked, this, &FrameListWindow::toggleWatching);
    connect(again, &QPushButton::clicked, this, &FrameListWindow::recalculate);
    connect(stop, &QPushButton::clicked, this, &FrameListWindow::stopAll);
    connect(csv, &QPushButton::clicked, this, &FrameListWindow::saveCsv);
    connect(copy, &QPushButton::clicked, this, &FrameListWindow::copyTable);
    for (QPushButton* b : {files, folder, watchButton_}) row->addWidget(b);
    row->addSpacing(16);
    row->addWidget(again);
    row->addWidget(stop);
    row->addStretch();
    row->addWidget(csv);
    row->addWidget(copy);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void FrameListWindow::buildRejection() {
    auto* row = new QHBoxLayout;
    const RejectionRule start;
    byFraction_ = new QCheckBox(QStringLiteral("重星率が"), this);
    byFraction_->setObjectName(QStringLiteral("LimitFraction"));
    fraction_ = new QDoubleSpinBox(this);
    fraction_->setObjectName(QStringLiteral("FractionLimit"));
    fraction_->setRange(0, 1);
    fraction_->setDecimals(3);
    fraction_->setSingleStep(0.01);
    fraction_->setValue(start.fraction);
    byFwhm_ = new QCheckBox(QStringLiteral("FWHM が"), this);
    byFwhm_->setObjectName(QStringLiteral("LimitFwhm"));
    fwhm_ = new QDoubleSpinBox(this);
    fwhm_->setObjectName(QStringLiteral("FwhmLimit"));
    fwhm_->setRange(0, 100);
    fwhm_->setDecimals(2);
    fwhm_->setSingleStep(0.1);
    fwhm_->setValue(start.fwhm);
    for (QCheckBox* box : {byFraction_, byFwhm_}) {
        connect(box, &QCheckBox::toggled, this, &FrameListWindow::takeRule);
    }
    for (QDoubleSpinBox* box : {fraction_, fwhm_}) {
        connect(box, &QDoubleSpinBox::valueChanged, this, &FrameListWindow::takeRule);
    }
    auto* reject = button(this, "RejectByHand", QStringLiteral("不採用にする"));
    auto* keep = button(this, "KeepByHand", QStringLiteral("採用にする"));
    auto* move = button(this, "MoveRejected", QStringLiteral("不採用を移動"));
    auto* undo = button(this, "UndoMove", QStringLiteral("元に戻す"));
    connect(reject, &QPushButton::clicked, this, [this] { markSelected(true); });
    connect(keep, &QPushButton::clicked, this, [this] { markSelected(false); });
    connect(move, &QPushButton::clicked, this, &FrameListWindow::moveRejected);
    connect(undo, &QPushButton::clicked, this, &FrameListWindow::undoMove);
    row->addWidget(new QLabel(QStringLiteral("不採用:"), this));
    row->addWidget(byFraction_);
    row->addWidget(fraction_);
    row->addWidget(new QLabel(QStringLiteral("を超える"), this));
    row->addSpacing(8);
    row->addWidget(byFwhm_);
    row->addWidget(fwhm_);
    row->addWidget(new QLabel(QStringLiteral("を超える"), this));
    row->addSpacing(16);
    row->addWidget(reject);
    row->addWidget(keep);
    row->addStretch();
    row->addWidget(move);
    row->addWidget(undo);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void FrameListWindow::buildViews() {
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(FrameTableModel::kSortRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("FrameTable"));
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(FrameTableModel::Number, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(20);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setDefaultSectionSize(66);
    table_->setColumnWidth(FrameTableModel::Number, 44);
    table_->setColumnWidth(FrameTableModel::File, 190);
    table_->setColumnWidth(FrameTableModel::State, 160);
    table_->setColumnWidth(FrameTableModel::Camera, 130);
    for (const int column : {FrameTableModel::Camera, FrameTableModel::Exposure}) {
        table_->setColumnHidden(column, true);
    }
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FrameListWindow::selectionChanged);
    chart_ = new FrameChart(this);
    connect(chart_, &FrameChart::frameClicked, this, &FrameListWindow::selectFrame);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(chart_);
    split->setChildrenCollapsible(false);
    split->setSizes({300, 280});
    static_cast<QVBoxLayout*>(layout())->addWidget(split, 1);
}

int FrameListWindow::pending() const {
    return runner_->pending();
}

bool FrameListWindow::watching() const {
    return watcher_->watching();
}

void FrameListWindow::addPaths(const QStringList& paths) {
    QStringList files;
    QStringList faults;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            files.append(path);
            continue;
        }
        lastFolder_ = absolute(path);
        const Result<std::vector<std::string>> inputs = InputFolder::list(nativeName(path));
        if (!inputs.done()) {
            faults.append(qtText(inputs.fault().message));
            continue;
        }
        for (const std::string& input : inputs.value()) files.append(qtName(input));
    }
    add(files);
    reportFaults(QStringLiteral("読めないフォルダがあります。"), faults);
}

void FrameListWindow::add(const QStringList& files) {
    if (files.isEmpty()) return;
    // Every frame of one addition takes the settings of the same moment.
    const PlotRequest settings = host_.frameSettings();
    int added = 0;
    try {
        for (const QString& file : files) {
            const std::string path = nativeName(absolute(file));
            if (model_->holds(path)) continue;
            const FrameRecord& frame = model_->add(path, settings);
            runner_->add({frame.number, frame.generation, frame.request});
            ++added;
        }
    } catch (const std::bad_alloc&) {
        messages_.show(this, qtText(Messages::outOfMemory()));
    }
    showSettings();
    showStatus(QStringLiteral("%1 フレームを追加しました").arg(added));
}

void FrameListWindow::addFiles() {
    const QStringList chosen = dialogs_.openMany(this, lastFolder_);
    if (chosen.isEmpty()) return;
    lastFolder_ = QFileInfo(chosen.constFirst()).absolutePath();
    add(chosen);
}

void FrameListWindow::addFolder() {
    const std::optional<QString> chosen = dialogs_.folder(this, lastFolder_);
    if (chosen) addPaths({*chosen});
}

void FrameListWindow::toggleWatching() {
    if (watching()) {
        stopWatching();
        return;
    }
    const std::optional<QString> chosen = dialogs_.folder(this, lastFolder_);
    if (chosen) watchFolder(*chosen);
}

void FrameListWindow::watchFolder(const QString& folder) {
    lastFolder_ = absolute(folder);
    watcher_->start(lastFolder_);
    watchButton_->setText(QStringLiteral("監視をやめる"));
    showStatus();
}

void FrameListWindow::stopWatching() {
    watcher_->stop();
    watchButton_->setText(QStringLiteral("フォルダを監視"));
    showStatus(QStringLiteral("監視をやめました"));
}

void FrameListWindow::frameStarted(int number, int generation) {
    const FrameRecord* frame = model_->frame(number);
    if (frame == nullptr || frame->generation != generation) return;
    model_->change(number, [](FrameRecord& f) {
        if (f.state == FrameRecord::State::Waiting) f.state = FrameRecord::State::Running;
    });
    showStatus();
}

void FrameListWindow::framesFinished() {
    bool selectedEnded = false;
    for (FrameRunner::Outcome& outcome : runner_->takeFinished()) {
        const FrameRecord* frame = model_->frame(outcome.number);
        if (frame == nullptr || frame->generation != outcome.generation) continue;
        model_->change(outcome.number, [&outcome](FrameRecord& f) {
            const RunResult& result = outcome.row.result;
            f.state = result.done()        ? FrameRecord::State::Done
                      : result.cancelled() ? FrameRecord::State::Cancelled
                                           : FrameRecord::State::Failed;
            f.request = std::move(outcome.request);
            f.row = std::move(outcome.row);
            f.measures = std::move(outcome.measures);
            f.stars = std::move(outcome.stars);
        });
        selectedEnded = selectedEnded || outcome.number == selected_;
    }
    refresh();
    showSettings();  // a photograph's own size, now that it is known
    if (selectedEnded) showSelected();
    if (runner_->pending() == 0) emit idle();
}

void FrameListWindow::recalculate() {
    const PlotRequest settings = host_.frameSettings();
    runner_->stopAll();
    for (const FrameRecord& frame : model_->frames()) {
        model_->change(frame.number, [&settings](FrameRecord& f) {
            f.request = settings;
            f.request.starFile = f.location;
            f.state = FrameRecord::State::Waiting;
            f.row = {f.location, {}};
            f.measures = {};
            f.stars = nullptr;
            ++f.generation;
        });
        runner_->add({frame.number, frame.generation, frame.request});
    }
    refresh();
    showSettings();
    showStatus(QStringLiteral("すべてのフレームを今の設定で計算し直します"));
}

void FrameListWindow::stopAll() {
    for (const int number : runner_->stopAll()) {
        model_->change(number, [](FrameRecord& f) { f.state = FrameRecord::State::Cancelled; });
    }
    refresh();
    showStatus(QStringLiteral("中止しました"));
    if (runner_->pending() == 0) emit idle();
}

void FrameListWindow::takeRule() {
    RejectionRule rule;
    rule.byFraction = byFraction_->isChecked();
    rule.fraction = fraction_->value();
    rule.byFwhm = byFwhm_->isChecked();
    rule.fwhm = fwhm_->value();
    model_->setRule(rule);
    chart_->setRule(rule);
    refresh();
}

void FrameListWindow::setRule(const RejectionRule& rule) {
    const QSignalBlocker blocks[] = {QSignalBlocker(byFraction_), QSignalBlocker(fraction_),
                                     QSignalBlocker(byFwhm_), QSignalBlocker(fwhm_)};
    byFraction_->setChecked(rule.byFraction);
    fraction_->setValue(rule.fraction);
    byFwhm_->setChecked(rule.byFwhm);
    fwhm_->setValue(rule.fwhm);
    takeRule();
}

void FrameListWindow::markSelected(bool rejected) {
    for (const int number : selectedNumbers()) {
        model_->change(number, [rejected](FrameRecord& f) { f.byHand = rejected; });
    }
    refresh();
}

void FrameListWindow::moveRejected() {
    QStringList faults;
    int moved = 0;
    for (const FrameRecord& frame : model_->frames()) {
        const bool ended = frame.state != FrameRecord::State::Waiting &&
                           frame.state != FrameRecord::State::Running;
        if (!frame.rejected || frame.moved || !ended) continue;
        const RejectionMover::Moved to = RejectionMover::reject(qtName(frame.location));
        if (!to.fault.isEmpty()) {
            faults.append(to.fault);
            continue;
        }
        model_->change(frame.number, [&to](FrameRecord& f) {
            f.location = nativeName(to.path);
            f.moved = true;
        });
        ++moved;
    }
    refresh();
    showStatus(QStringLiteral("%1 フレームを「%2」に移動しました")
                   .arg(moved)
                   .arg(QLatin1String(InputFolder::kRejected)));
    reportFaults(QStringLiteral("移動できなかったファイルがあります。元の場所に残っています。"),
                 faults);
}

void FrameListWindow::undoMove() {
    QStringList faults;
    int restored = 0;
    for (const FrameRecord& frame : model_->frames()) {
        if (!frame.moved) continue;
        const RejectionMover::Moved to =
            RejectionMover::restore(qtName(frame.location), qtName(frame.path));
        if (!to.fault.isEmpty()) {
            faults.append(to.fault);
            continue;
        }
        // A frame that comes back is no new frame of the watched folder.
        watcher_->skip(to.path);
        model_->change(frame.number, [&to](FrameRecord& f) {
            f.location = nativeName(to.path);
            f.moved = false;
        });
        ++restored;
    }
    refresh();
    showStatus(QStringLiteral("%1 フレームを元の場所に戻しました").arg(restored));
    reportFaults(QStringLiteral("戻せなかったファイルがあります。「rejected」に残っています。"),
                 faults);
}

void FrameListWindow::reportFaults(const QString& what, const QStringList& faults) {
    if (faults.isEmpty()) return;
    messages_.show(this, what, faults.join(QLatin1Char('\n')));
}

void FrameListWindow::saveCsv() {
    const QString proposed =
        lastFolder_.isEmpty() ? QStringLiteral("frames.csv") : lastFolder_ + "/frames.csv";
    const std::optional<QString> chosen =
        dialogs_.save(this, proposed, FileDialogDriver::ReplaceQuestion::Dialog);
    if (!chosen) return;
    try {
        std::vector<SummaryRow> rows;
        for (const int number : numbersInViewOrder()) {
            const FrameRecord& frame = *model_->frame(number);
            if (frame.done() || frame.state == FrameRecord::State::Failed) {
                rows.push_back(frame.row);
            }
        }
        OutputFile file(nativeName(*chosen), "集計ファイル");
        Result<> written = file.open();
        if (written.done()) {
            file.write(SummaryTable::csv(rows));
            written = file.commit();
        }
        if (!written.done()) {
            messages_.show(this, qtText(written.fault().message));
            return;
        }
        showStatus(QStringLiteral("%1 フレームを「%2」に保存しました")
                       .arg(rows.size())
                       .arg(QFileInfo(*chosen).fileName()));
    } catch (const std::bad_alloc&) {
        messages_.show(this, qtText(Messages::outOfMemory()));
    }
}

void FrameListWindow::copyTable() {
    QStringList lines;
    QStringList header;
    std::vector<int> columns;
    for (int column = 0; column < FrameTableModel::kColumns; ++column) {
        if (table_->isColumnHidden(column)) continue;
        columns.push_back(column);
        header.append(model_->headerData(column, Qt::Horizontal).toString());
    }
    lines.append(header.join(QLatin1Char('\t')));
    const std::vector<int> numbers = numbersInViewOrder();
    for (const int number : numbers) {
        QStringList cells;
        for (const int column : columns) {
            cells.append(tableCell(FrameTableModel::text(*model_->frame(number), column)));
        }
        lines.append(cells.join(QLatin1Char('\t')));
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    showStatus(QStringLiteral("表をコピーしました（%1 行）").arg(numbers.size()));
}

void FrameListWindow::selectFrame(int number) {
    if (model_->frame(number) == nullptr) return;
    const QModelIndex at = sorted_->mapFromSource(model_->index(number - 1, 0));
    table_->selectionModel()->setCurrentIndex(
        at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(at);
}

void FrameListWindow::selectionChanged() {
    const QModelIndex current = table_->selectionModel()->currentIndex();
    const int number = current.isValid() ? sorted_->mapToSource(current).row() + 1 : 0;
    if (number == selected_) return;
    selected_ = number;
    chart_->setSelected(number);
    showSettings();
    showSelected();
}

// The main window draws the frame from its kept stars, or from its file where they were too many
// to keep. A frame that has not completed is not drawn: its message is in the table.
void FrameListWindow::showSelected() {
    const FrameRecord* frame = model_->frame(selected_);
    if (frame == nullptr || !frame->done()) return;
    const StarSourceOpener stars =
        frame->stars ? StarKeeper::replaying(frame->stars) : StarSources::opener();
    if (!host_.showFrame(frame->request, stars)) showAgain_.start();
}

void FrameListWindow::refresh() {
    chart_->setFrames(model_->frames());
    for (const int column : {FrameTableModel::Camera, FrameTableModel::Exposure}) {
        table_->setColumnHidden(column, !model_->anyHas(column));
    }
    showStatus();
}

void FrameListWindow::showSettings() {
    const FrameRecord* frame = model_->frame(selected_);
    if (frame == nullptr && !model_->frames().empty()) frame = &model_->frames().back();
    settings_->setText(frame == nullptr
                           ? QStringLiteral("フレームを追加すると、その時の設定がここに出ます。")
                           : QStringLiteral("フレーム %1 の設定: ").arg(frame->number) +
                                 settingsText(frame->request));
}

void FrameListWindow::showStatus(const QString& news) {
    if (!news.isEmpty()) news_ = news;
    int done = 0, failed = 0, rejected = 0;
    for (const FrameRecord& frame : model_->frames()) {
        done += frame.done() ? 1 : 0;
        failed += frame.state == FrameRecord::State::Failed ? 1 : 0;
        rejected += frame.rejected ? 1 : 0;
    }
    QString text = QStringLiteral("%1 フレーム　完了 %2　失敗 %3　実行中・待機中 %4　不採用 %5")
                       .arg(model_->frames().size())
                       .arg(done)
                       .arg(failed)
                       .arg(runner_->pending())
                       .arg(rejected);
    if (watching()) text += QStringLiteral("　監視中: ") + watcher_->folder();
    if (!news_.isEmpty()) text += QStringLiteral("　— ") + news_;
    status_->setText(text);
}

std::vector<int> FrameListWindow::selectedNumbers() const {
    std::vector<int> numbers;
    for (const QModelIndex& row : table_->selectionModel()->selectedRows()) {
        numbers.push_back(sorted_->mapToSource(row).row() + 1);
    }
    return numbers;
}

std::vector<int> FrameListWindow::numbersInViewOrder() const {
    std::vector<int> numbers;
    for (int row = 0; row < sorted_->rowCount(); ++row) {
        numbers.push_back(sorted_->mapToSource(sorted_->index(row, 0)).row() + 1);
    }
    return numbers;
}

void FrameListWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void FrameListWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    }
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    addPaths(paths);
}
