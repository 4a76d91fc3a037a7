#pragma once

#include <QLineEdit>
#include <QString>

// A cell of the double-star table. It takes any text, as the table always did, and a run reads
// the text's leading number; a text that is not wholly a number ("1,5" reads 1, "abc" and an
// empty cell 0) shows in the warning colour, its tooltip saying what a run reads it as.
class ThresholdCell : public QLineEdit {
public:
    explicit ThresholdCell(QWidget* parent = nullptr);

    // The cell's own tooltip, shown beneath the warning when there is one.
    void setTip(const QString& tip);
    bool warned() const { return warned_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void check();
    void showLook();

    QString tip_;
    bool warned_ = false;
    bool showing_ = false;  // setting its own palette, which it then hears of
};
