#pragma once

#include "w_qwidget.h"

class QGroupBox;
class W_RadioCommonLeft;
class W_RadioCommonRight;
class W_SubBand;

// The "Radio Module" panel: sub-band and channel, radio data rate with its
// distance and power, and the left column of radio settings.
class W_Radio : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_Radio(QWidget *parent = nullptr);

    void setSerialRate(quint8 serialRate);
    void setSpeed(quint8 speed);

    W_SubBand *subBandPanel() const { return subBand; }
    W_RadioCommonRight *rightPanel() const { return right; }

private:
    QGroupBox *group;
    W_SubBand *subBand;
    W_RadioCommonLeft *left;
    W_RadioCommonRight *right;
};
