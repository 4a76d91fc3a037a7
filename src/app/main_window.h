#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/frame_host.h"
#include "app/window_settings.h"
#include "plot/plotting_run.h"

class AboutBox;
class DoubleStarWindow;
class SettingsStore;
class StatusLine;
class WindowShortcuts;
class RunProgress;
class RunWorker;
class ShapeMapWindow;
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
    // threads: where the window's runs take their threads. store: where the settings of the
    // last session are taken from, and this one's kept when the window closes; none: the design
    // defaults, and nothing is kept.
    MainWindow(FileDialogDriver& dialogs, MessageBox& messages, ThreadBudget& threads,
               SettingsStore* store = nullptr);
    ~MainWindow() override;

    // The star list chosen with "解析データ" or dropped on the window.
    const QString& starFile() const { return starFile_; }
    DoubleStarWindow& doubleStarWindow() { return *doubleStars_; }
    PlotView& plot() { return *picture1_; }
    FileDialog& commonDialog() { return *dialog_; }
    // The plot's context menu: "全体を表示", "星像マップ", "クリップボードにコピー", "画像保存",
    // "フレーム一覧", "夜間モード", "初期設定に戻す", "Quendra について".
    QMenu& plotMenu() { return *plotMenu_; }
    StatusLine& statusLine() { return *status_; }
    // The about box; nullptr until it is first shown.
    AboutBox* aboutBox() { return about_; }
    // The window of "全体を表示"; nullptr until it is first asked for.
    PlotViewer* viewer() { return viewer_; }
    // The window of "星像マップ", hidden until asked for; it follows every completed run.
    ShapeMapWindow& shapeMap() { return *shapeMap_; }
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
    void showShapeMap();
    void setNightMode(bool on);
    // Shows the double-star window without taking the focus from where it is, or hides it.
    void toggleDoubleStarWindow();
    // "フレーム一覧" (also Ctrl+L, and a drop of several files or a folder).
    void showFrameList();
    // nullptr until it is first shown.
    FrameListWindow* frameList() { return frameList_; }
    PlotRequest frameSettings() const override;
    bool showFrame(const PlotRequest& request, const StarSourceOpener& stars) override;
    void quit() { close(); }
    void showAbout();
    // The plot's menu from the keyboard, at the plot's top-left corner.
    void popUpPlotMenu();
    // "初期設定に戻す": after the user agrees, every setting of both windows as at the very first
    // start; the chosen file, the plot and the counts stay.
    void resetSettings();

    // The settings of both windows as they stand, and set them all at once.
    WindowSettings settings() const;
    void applySettings(const WindowSettings& settings);

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
    // The camera button of 横 × 縦, in either orientation; none when no camera has that size.
    void followSensorSize();
    // The status line's file, and 横 and 縦 from a photograph or a catalog's picture.
    void showChosenFile(bool takeSize);
    void restoreSession();
    void keepSession() const;
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
    ShapeMapWindow* shapeMap_ = nullptr;
    std::unique_ptr<DoubleStarWindow> doubleStars_;
    std::unique_ptr<WindowSources> sources_;
    std::unique_ptr<RunWorker> worker_;
    std::unique_ptr<RunProgress> progress_;  // while a run goes on
    SettingsStore* store_ = nullptr;
    StatusLine* status_ = nullptr;
    WindowShortcuts* shortcuts_ = nullptr;
    AboutBox* about_ = nullptr;
    QByteArray viewerPlace_;     // where the viewer was last session, for its first showing
    QByteArray frameListPlace_;  // the same for the frame list
    // 250,000 stars' shapes are 10 MB, more than any photograph gives.
    static constexpr std::size_t kShapesKeptUnseen = 250000;
    QString runFile_;      // the star list of the run going on
    QString runStarSize_;  // its star size text
    QString countsFile_;   // the file of the last completed run, whose counts are shown
    bool doubleStarsPlaced_ = false;
    bool shapeMapPlaced_ = false;  // the map's window was shown, or has last session's place
    bool running_ = false;
    bool night_ = false;
    bool screenFollowed_ = false;
    int frameFitted_ = -1;  // the frame height the window was last fitted with
};
