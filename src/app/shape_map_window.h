#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/window_work.h"
#include "shape/shape_map.h"
#include "shape/shape_star.h"

class FileDialogDriver;
class MessageBox;
class PictureView;
class QAction;
class QLabel;
class QMenu;
class ThreadBudget;

// "星像マップ": the star-shape map of the last completed run in a window of its own, the picture
// fitted to the window and the reading below it as text to select and copy. It follows every
// run it is handed and the night look; its context menu copies the picture or saves it as PNG
// (the day look with the reading as its caption, as quendra-plot --map writes it) and chooses
// the grid, which remakes the map from the run's stars without running again. Ctrl+C copies,
// Escape hides the window. The map and its
// pictures are made on threads of the budget, never on the window's thread, and only while the
// window is shown.
class ShapeMapWindow : public QWidget {
public:
    ShapeMapWindow(ThreadBudget& threads, FileDialogDriver& dialogs, MessageBox& messages,
                   QWidget* parent = nullptr);

    // The stars a completed run drew on a plot of width × height, read from `source`.
    void follow(ShapeStars stars, int width, int height, const QString& source);
    // The last run did not complete: the map shown is the run's before, which the window says.
    void markEarlier();
    bool earlier() const;
    void setNight(bool night);
    // 1 to ShapeMap::kLargestGrid regions a side.
    void setGrid(int grid);
    int grid() const { return grid_; }

    // The map on screen; null until the first is made.
    const ShapeMap* map() const { return map_.get(); }
    // A map or a picture is being made.
    bool making() const { return screen_.busy() || export_.busy(); }
    const PictureView& picture() const { return *picture_; }
    QString readingText() const;
    QMenu& menu() { return *menu_; }

    // The picture as quendra-plot --map makes it, onto the clipboard or into a PNG file.
    void copyPicture();
    void savePicture();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildMenu();
    // Makes what the screen shows afresh: the map where the stars or the grid changed, and its
    // picture in the look and at the width of the window.
    void updateScreen();
    void present(const std::shared_ptr<const ShapeMap>& map, const QImage& picture);
    // The run drew more stars than were kept for a map nobody had open.
    void showTooMany();
    void exportPicture(std::function<void(const QImage&)> use);
    QString proposedName() const;

    FileDialogDriver& dialogs_;
    MessageBox& messages_;
    PictureView* picture_ = nullptr;
    QLabel* reading_ = nullptr;
    QLabel* earlierNote_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    std::array<QAction*, ShapeMap::kLargestGrid> gridActions_{};
    ShapeStars stars_;
    int width_ = 0;
    int height_ = 0;
    QString source_;
    QString savedFolder_;  // where the last picture was saved
    int grid_ = ShapeMap::kDefaultGrid;
    bool night_ = false;
    // What the newest picture was asked for with: nothing is made twice.
    struct Request {
        ShapeStars stars;
        int grid = 0;
        bool night = false;
        int width = 0;
        bool operator==(const Request&) const = default;
    };
    Request requested_;
    std::shared_ptr<const ShapeMap> map_;
    QTimer resized_;
    WindowWork screen_;
    WindowWork export_;
};
