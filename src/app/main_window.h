#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "plot/plotting_run.h"

class DoubleStarWindow;
class FileDialog;
class FileDialogDriver;
class MessageBox;
class PlotView;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

// Form1, the main window: the run's settings, the plot at actual size, and the buttons that
// draw, export and end the program. It owns the double-star window and the shared file dialog.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    MainWindow(FileDialogDriver& dialogs, MessageBox& messages);
    ~MainWindow() override;

    // The star list chosen with "解析データ".
    const QString& starFile() const { return starFile_; }
    DoubleStarWindow& doubleStarWindow() { return *doubleStars_; }
    PlotView& plot() { return *picture1_; }
    FileDialog& commonDialog() { return *dialog_; }

    void applyCameraPreset(int index);
    void swapSides();
    void chooseStarList();
    void draw();
    void clearPlot();
    void saveImage();
    void toggleDoubleStarWindow();

signals:
    // "終了" or the close box: the program ends at once.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildCameraPresets();
    void buildSensorSize();
    void buildTopRows();
    void buildButtonRows();
    void buildPlot();
    ControlTexts controls() const;
    void placeDoubleStarWindow();

    FileDialog* dialog_ = nullptr;
    MessageBox& messages_;
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
    std::unique_ptr<DoubleStarWindow> doubleStars_;
    bool doubleStarsPlaced_ = false;
};
