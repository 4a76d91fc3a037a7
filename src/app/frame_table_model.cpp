#include "app/frame_table_model.h"

#include <QFileInfo>
#include <QLocale>

#include "platform/qt_text.h"
#include "text/number_text.h"

namespace {

QString optionalNumber(const std::optional<double>& value, int decimals) {
    if (!value) return {};
    return QString::number(*value, 'f', decimals);
}

QVariant optionalKey(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant();
}

QString countText(const FrameRecord& frame, std::int64_t count) {
    return frame.done() ? QString::number(count) : QString();
}

QString failureText(const RunResult& result) {
    const QString message = qtText(result.fault().message);
    return message.isEmpty() ? QStringLiteral("失敗") : QStringLiteral("失敗: ") + message;
}

}  // namespace

FrameTableModel::FrameTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int FrameTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(frames_.size());
}

int FrameTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant FrameTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[kColumns] = {"番号",   "ファイル", "状態",   "星の数",
                                                   "単星",   "重星",     "重星率", "FWHM",
                                                   "真円度", "診断",     "カメラ", "露出"};
    return section >= 0 && section < kColumns ? QString::fromUtf8(kHeaders[section]) : QVariant();
}

QVariant FrameTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const FrameRecord& frame = frames_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return text(frame, index.column());
        case kSortRole:
            return sortKey(frame, index.column());
        case Qt::ToolTipRole:
            if (index.column() == File) return qtName(frame.location);
            if (index.column() == Reading) return qtText(frame.measures.readingText);
            if (index.column() == State && frame.state == FrameRecord::State::Failed) {
                return qtText(frame.row.result.fault().message + "\n" +
                              frame.row.result.fault().detail)
                    .trimmed();
            }
            return {};
        case Qt::TextAlignmentRole:
            return index.column() == File || index.column() == State || index.column() == Reading ||
                           index.column() == Camera
                       ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                       : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QString FrameTableModel::stateText(const FrameRecord& frame) {
    switch (frame.state) {
        case FrameRecord::State::Waiting:
            return QStringLiteral("待機中");
        case FrameRecord::State::Running:
            return QStringLiteral("実行中");
        case FrameRecord::State::Failed:
            return failureText(frame.row.result);
        case FrameRecord::State::Cancelled:
            return QStringLiteral("中止");
        case FrameRecord::State::Done:
            break;
    }
    if (frame.moved) {
        return frame.rejected ? QStringLiteral("不採用（移動済み）")
                              : QStringLiteral("採用（rejected にあります）");
    }
    if (frame.rejected) {
        return frame.byHand ? QStringLiteral("不採用（手動）") : QStringLiteral("不採用");
    }
    return frame.byHand ? QStringLiteral("採用（手動）") : QStringLiteral("完了");
}

QString FrameTableModel::text(const FrameRecord& frame, int column) {
    const RunResult& result = frame.row.result;
    switch (column) {
        case Number:
            return QString::number(frame.number);
        case File:
            return QFileInfo(qtName(frame.location)).fileName();
        case State:
            return stateText(frame);
        case Stars:
            return countText(frame, result.starsDrawn);
        case Singles:
            return countText(frame, frame.singles());
        case Doubles:
            return countText(frame, frame.doubles());
        case Fraction:
            return optionalNumber(frame.doubleFraction(), 3);
        case Fwhm:
            return optionalNumber(frame.measures.fwhm, 2);
        case Roundness:
            return optionalNumber(frame.measures.roundness, 3);
        case Reading:
            return qtText(frame.measures.reading);
        case Camera:
            return qtText(frame.measures.camera);
        case Exposure:
            return frame.measures.exposure ? qtText(numberText(*frame.measures.exposure)) + " s"
                                           : QString();
        default:
            return {};
    }
}

QVariant FrameTableModel::sortKey(const FrameRecord& frame, int column) {
    const RunResult& result = frame.row.result;
    switch (column) {
        case Number:
            return frame.number;
        case Stars:
            return frame.done() ? QVariant(qlonglong{result.starsDrawn}) : QVariant();
        case Singles:
            return frame.done() ? QVariant(qlonglong{frame.singles()}) : QVariant();
        case Doubles:
            return frame.done() ? QVariant(qlonglong{frame.doubles()}) : QVariant();
        case Fraction:
            return optionalKey(frame.doubleFraction());
        case Fwhm:
            return optionalKey(frame.measures.fwhm);
        case Roundness:
            return optionalKey(frame.measures.roundness);
        case Exposure:
            return optionalKey(frame.measures.exposure);
        default:
            return text(frame, column);
    }
}

bool FrameTableModel::anyHas(int column) const {
    return std::any_of(frames_.begin(), frames_.end(), [column](const FrameRecord& frame) {
        return !text(frame, column).isEmpty();
    });
}

const FrameRecord* FrameTableModel::frame(int number) const {
    if (number < 1 || number > static_cast<int>(frames_.size())) return nullptr;
    return &frames_[static_cast<std::size_t>(number - 1)];
}

bool FrameTableModel::holds(const std::string& path) const {
    return std::any_of(frames_.begin(), frames_.end(), [&path](const FrameRecord& frame) {
        return frame.path == path || frame.location == path;
    });
}

const FrameRecord& FrameTableModel::add(std::string path, PlotRequest request) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    FrameRecord& frame = frames_.emplace_back();
    frame.number = row + 1;
    frame.path = path;
    frame.location = std::move(path);
    request.starFile = frame.location;
    frame.request = std::move(request);
    frame.row.file = frame.location;
    endInsertRows();
    return frame;
}

void FrameTableModel::setRule(const RejectionRule& rule) {
    rule_ = rule;
    for (FrameRecord& frame : frames_) frame.rejected = rule_.rejects(frame);
    if (!frames_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

void FrameTableModel::changed(int number) {
    emit dataChanged(index(number - 1, 0), index(number - 1, kColumns - 1));
}
