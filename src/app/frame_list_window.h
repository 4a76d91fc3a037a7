#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/rejection_rule.h"

class FileDialogDriver;
class FolderWatcher;
class FrameChart;
class FrameHost;
class FrameRunner;
class FrameTableModel;
class MessageBox;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class ThreadBudget;

// "フレーム一覧": the frames of a night as a table and a chart. Frames are added as files, as
// the inputs of a folder, by a drop or from a watched folder; each is run with the main window's
// settings and the double-star limits as they were when it was added (the header shows them),
// on threads of the budget, while the window goes on answering. Selecting a frame shows it in
// the main window as if "描画" had run on it. Frames above the limits, or marked by hand, are
// rejected; their files can be moved into `rejected` beside them and back. The table goes to a
// CSV file with the columns of quendra-plot's summary, or onto the clipboard as text.
class FrameListWindow : public QWidget {
    Q_OBJECT

public:
    FrameListWindow(FrameHost& host, FileDialogDriver& dialogs, MessageBox& messages,
                    ThreadBudget& threads, QWidget* parent = nullptr);
    ~FrameListWindow() override;

    const FrameTableModel& frames() const { return *model_; }
    FrameChart& chart() { return *chart_; }
    // Frames waiting or running.
    int pending() const;

    // Adds files, and the inputs of folders (sorted by name), in the order given; a file
    // already in the list is not added again.
    void addPaths(const QStringList& paths);
    void addFiles();
    void addFolder();
    // "フォルダを監視" asks for a folder and follows it; "監視をやめる" stops.
    void toggleWatching();
    void watchFolder(const QString& folder);
    void stopWatching();
    bool watching() const;
    void recalculate();
    void stopAll();
    // Marks the selected frames by hand: rejected, or kept.
    void markSelected(bool rejected);
    void setRule(const RejectionRule& rule);
    void moveRejected();
    void undoMove();
    void saveCsv();
    void copyTable();
    // Selects a frame by its number, as a click on its row does.
    void selectFrame(int number);
    int selectedFrame() const { return selected_; }

signals:
    // Every frame added has ended (completed, failed or stopped).
    void idle();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildButtons();
    void buildRejection();
    void buildViews();
    void add(const QStringList& files);
    void frameStarted(int number, int generation);
    void framesFinished();
    void takeRule();
    void selectionChanged();
    void showSelected();
    void refresh();
    void showSettings();
    void showStatus(const QString& news = {});
    std::vector<int> selectedNumbers() const;
    std::vector<int> numbersInViewOrder() const;
    void reportFaults(const QString& what, const QStringList& faults);

    FrameHost& host_;
    FileDialogDriver& dialogs_;
    MessageBox& messages_;
    FrameTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    FrameChart* chart_ = nullptr;
    QLabel* settings_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* watchButton_ = nullptr;
    QCheckBox* byFraction_ = nullptr;
    QDoubleSpinBox* fraction_ = nullptr;
    QCheckBox* byFwhm_ = nullptr;
    QDoubleSpinBox* fwhm_ = nullptr;
    FolderWatcher* watcher_ = nullptr;
    std::unique_ptr<FrameRunner> runner_;
    QTimer showAgain_;  // the main window was busy: the selected frame is shown a little later
    QString lastFolder_;
    QString news_;  // the last thing done, shown in the status line
    int selected_ = 0;
};
