#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "app/frame_record.h"
#include "app/rejection_rule.h"

// The frames of the frame list, one row each in the order they were added, and the columns the
// table shows. Each cell has its text (Qt::DisplayRole) and what it sorts by (kSortRole: a
// number where the column holds numbers, so that 10 comes after 9).
class FrameTableModel : public QAbstractTableModel {
public:
    enum Column {
        Number,
        File,
        State,
        Stars,
        Singles,
        Doubles,
        Fraction,
        Fwhm,
        Roundness,
        Reading,
        Camera,
        Exposure,
        kColumns
    };
    static constexpr int kSortRole = Qt::UserRole;

    explicit FrameTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<FrameRecord>& frames() const { return frames_; }
    // The frame of a number (1 for the first row); nullptr for none.
    const FrameRecord* frame(int number) const;
    // Whether a frame's file is in the list already, where it was added or where it is now.
    bool holds(const std::string& path) const;

    // Adds a frame at the end, numbered next.
    const FrameRecord& add(std::string path, PlotRequest request);
    // Changes one frame and shows the change; the rule then decides its rejection.
    template <class Change>
    void change(int number, Change change) {
        FrameRecord& record = frames_.at(static_cast<std::size_t>(number - 1));
        change(record);
        record.rejected = rule_.rejects(record);
        changed(number);
    }
    void setRule(const RejectionRule& rule);
    const RejectionRule& rule() const { return rule_; }

    // A cell's text, as the table shows it and "表をコピー" copies it.
    static QString text(const FrameRecord& frame, int column);
    static QString stateText(const FrameRecord& frame);
    // Whether any frame has a value in the column (the camera's columns are shown only then).
    bool anyHas(int column) const;

private:
    static QVariant sortKey(const FrameRecord& frame, int column);
    void changed(int number);

    std::vector<FrameRecord> frames_;
    RejectionRule rule_;
};
