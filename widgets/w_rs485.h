#pragma once

#include "w_qwidget.h"

class QGroupBox;
class W_Rs485Common;
class W_SerialRate;

// The "RS-485" panel: the wired side's serial data rate and line parameters.
class W_Rs485 : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_Rs485(QWidget *parent = nullptr);

    void setRadioRate(quint8 radioRate);

    W_SerialRate *serialRatePanel() const { return serialRate; }

private:
    QGroupBox *group;
    W_SerialRate *serialRate;
    W_Rs485Common *common;
};
