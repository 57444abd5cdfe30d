#pragma once

#include "w_qwidget.h"

class QComboBox;
class QGroupBox;
class QSpinBox;

// The device's two recovery timers: the reset of a radio transmission that
// runs too long and the watchdog reset period.
class W_FreezProtection : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_FreezProtection(QWidget *parent = nullptr);

private:
    QGroupBox *group;
    QSpinBox *radioTransmitReset;
    QComboBox *wdtReset;
};
