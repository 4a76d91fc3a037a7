#pragma once

#include <QWidget>
#include <array>

#include "doublestar/area_class.h"
#include "doublestar/threshold_table.h"
#include "plot/star_counts.h"

class FileDialog;
class MessageBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class ThresholdCell;

// Form2, "重星処理": the double-star limits per area class, their lens presets and file, and the
// counts of the last completed run. Its close box only hides it, so nothing typed is lost.
class DoubleStarWindow : public QWidget {
    Q_OBJECT

public:
    DoubleStarWindow(FileDialog& dialog, MessageBox& messages);

    // Shows the window in front of the others, leaving the focus where the user was typing.
    void showOnTop();

    // The limits as shown now, for a run.
    ThresholdTable table() const;
    // Writes all 25 cells, row by row, then selects "AND" or "OR".
    void setTable(const ThresholdTable& table);
    // The counts of a completed run, into the "単星数" and "重星数" cells.
    void showCounts(const CountTexts& counts);
    // A later run did not complete: the counts shown are greyed, their tooltips naming the file
    // of the run they belong to, until the next completed run.
    void markCountsEarlier(const QString& file);
    bool countsEarlier() const { return earlier_; }

    void applyWideAnglePreset();
    void applyTelephotoPreset();
    void saveTable();
    void loadTable();

signals:
    // Return in a cell: "描画", as in the main window's text boxes.
    void drawRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Column = std::array<ThresholdCell*, AreaClass::kCount>;

    void buildHeaders();
    void buildRows();
    void buildBelowGrid();
    void load(const QString& path);

    FileDialog& dialog_;
    MessageBox& messages_;
    Column circularity_{};
    Column areaRatio_{};
    Column occupancy_{};
    std::array<QLabel*, AreaClass::kCount> singles_{};
    std::array<QLabel*, AreaClass::kCount> doubles_{};
    ThresholdCell* correction_ = nullptr;
    QRadioButton* and_ = nullptr;
    QRadioButton* or_ = nullptr;
    bool earlier_ = false;
    bool raiseWhenExposed_ = false;
};
