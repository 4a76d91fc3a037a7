#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class DoubleStarWindow;
class MainWindow;

// The keyboard of both windows. The main window's buttons have their shortcuts in both windows:
// Ctrl+O "解析データ", F5 "描画", Ctrl+S "画像保存", Ctrl+Q "終了", Ctrl+D "重星処理", Ctrl+L
// "フレーム一覧", F1 the about box; also in a text box, where Ctrl+D would otherwise delete a
// character. The Menu key and Shift+F10 open the plot's menu, Escape hides the double-star
// window. The main window's tab order starts at the camera buttons and passes the scroll bars.
class WindowShortcuts : public QObject {
public:
    WindowShortcuts(MainWindow& form1, DoubleStarWindow& form2);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void add(const QKeySequence& keys, void (MainWindow::*step)());
    void orderTabs();

    MainWindow& form1_;
    DoubleStarWindow& form2_;
    QList<QKeySequence> taken_;  // what a text box leaves to the shortcuts
};
