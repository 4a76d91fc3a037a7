#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "app/frame_host.h"
#include "plot/plotting_run.h"

class DoubleStarWindow;
class RunProgress;
class RunWorker;
class WindowSources;
class FileDialog;
class FileDialogDriver;
class FrameListWindow;
class MessageBox;
class PlotView;
class PlotViewer;
class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class ThreadBudget;

// Form1, the main window: the run's settings, the plot at actual size, and the buttons that
// draw, export and end the program. It owns the double-star window, the shared file dialog, the
// plot's context menu, the viewer of the whole plot and the frame list, for which it shows a
// frame as "描画" would (FrameHost).
class MainWindow : public QWidget, public FrameHost {
    Q_OBJECT

public:
    // threads: where the window's runs take their threads.
    MainWindow(FileDialogDriver& dialogs, MessageBox& messages, ThreadBudget& threads);
    ~MainWindow() override;

    // The star list chosen with "解析データ" or dropped on the window.
    const QString& starFile() const { return starFile_; }
    DoubleStarWindow& doubleStarWindow() { return *doubleStars_; }
    PlotView& plot() { return *picture1_; }
    FileDialog& commonDialog() { return *dialog_; }
    // The plot's context menu: "全体を表示", "クリップボードにコピー", "画像保存", "フレーム一覧",
    // "夜間モード".
    QMenu& plotMenu() { return *plotMenu_; }
    // The window of "全体を表示"; nullptr until it is first asked for.
    PlotViewer* viewer() { return viewer_; }
    bool nightMode() const { return night_; }
    // A run of "描画" is going on; its end is told by runFinished().
    bool running() const { return running_; }

    void applyCameraPreset(int index);
    void swapSides();
    void chooseStarList();
    // What "解析データ" does with the file it chose: it is the star list, and a photograph's
    // size goes into 横 and 縦.
    void takeStarFile(const QString& path);
    // "描画": starts the run on the settings as they stand, on a thread of its own; the window
    // goes on repainting meanwhile, and reports the run when it ends.
    void draw();
    void clearPlot();
    void saveImage();
    void copyPlot();
    void showWholePlot();
    void setNightMode(bool on);
    void toggleDoubleStarWindow();
    // "フレーム一覧" (also Ctrl+L, and a drop of several files or a folder).
    void showFrameList();
    // nullptr until it is first shown.
    FrameListWindow* frameList() { return frameList_; }
    PlotRequest frameSettings() const override;
    bool showFrame(const PlotRequest& request, const StarSourceOpener& stars) override;

signals:
    // "終了" or the close box: the program ends at once.
    void quitRequested();
    // A run of "描画" has ended and been reported.
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildCameraPresets();
    void buildSensorSize();
    void buildTopRows();
    void buildButtonRows();
    void buildPlot();
    void buildPlotMenu();
    // Enter in the text boxes of the run's settings starts "描画".
    void drawOnEnter(QLineEdit* box);
    ControlTexts controls() const;
    void startRun(const PlotRequest& request, const StarSourceOpener& open);
    void runEnded();
    // Stops a run that is still going, waiting for it: the window is closing.
    void stopRun();
    void report(const RunResult& result);
    bool putOnClipboard();
    void plotChanged();
    void fitToScreen();
    void placeDoubleStarWindow();
    // Runs one step of a handler; running out of memory ends it with a message, and the
    // program goes on.
    template <class Step>
    void guarded(Step step);

    FileDialog* dialog_ = nullptr;
    FileDialogDriver& dialogs_;
    MessageBox& messages_;
    ThreadBudget& threads_;
    QString starFile_;
    std::array<QRadioButton*, 3> option1_{};
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QLineEdit* text7_ = nullptr;
    QLineEdit* text8_ = nullptr;
    QLineEdit* text9_ = nullptr;
    QScrollBar* hScroll1_ = nullptr;
    QScrollBar* hScroll2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QPushButton* command10_ = nullptr;
    PlotView* picture1_ = nullptr;
    QMenu* plotMenu_ = nullptr;
    QAction* nightAction_ = nullptr;
    PlotViewer* viewer_ = nullptr;
    FrameListWindow* frameList_ = nullptr;
    std::unique_ptr<DoubleStarWindow> doubleStars_;
    std::unique_ptr<WindowSources> sources_;
    std::unique_ptr<RunWorker> worker_;
    std::unique_ptr<RunProgress> progress_;  // while a run goes on
    QString runFile_;                        // the star list of the run going on
    bool doubleStarsPlaced_ = false;
    bool running_ = false;
    bool night_ = false;
    bool screenFollowed_ = false;
    int frameFitted_ = -1;  // the frame height the window was last fitted with
};
