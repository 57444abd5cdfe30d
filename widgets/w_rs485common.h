#pragma once

#include "w_qwidget.h"

class QComboBox;
class QSpinBox;

// Line parameters of the RS-485 side: parity and data bits, stop bits and the
// delay between transmitting and receiving.
class W_Rs485Common : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_Rs485Common(QWidget *parent = nullptr);

private:
    QComboBox *parity;
    QComboBox *stopBit;
    QSpinBox *delayTxRx;
};
