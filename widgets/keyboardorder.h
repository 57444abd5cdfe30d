#pragma once

#include <QObject>

class QWidget;

// The keyboard in a window of panels: Tab follows the layouts, which hold
// every control in the order it is seen, whatever order the widgets were
// made in; Return and Enter press a focused key as Space does.
class KeyboardOrder : public QObject
{
    Q_OBJECT

public:
    // Orders the tab chain of every control below `top` and watches its keys.
    explicit KeyboardOrder(QWidget *top);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
