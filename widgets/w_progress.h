#pragma once

#include <QWidget>

class QProgressBar;

// The distance indicator of the radio panel: a percentage bar between the
// end labels "0" and "100".
class W_Progress : public QWidget
{
    Q_OBJECT

public:
    explicit W_Progress(QWidget *parent = nullptr);

    void setPercent(int percent);
    int percent() const;

private:
    void fitTextToBar();
    void showPercentInToolTip();

    QProgressBar *bar;
};
