#pragma once

#include "w_qwidget.h"

#include <QList>

class QGroupBox;
class W_Rb;

// The RS-485 serial data rate buttons, marked by what the radio data rate
// can carry: green within it, yellow above it.
class W_SerialRate : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_SerialRate(QWidget *parent = nullptr);

    void setRadioRate(quint8 radioRate);

    const QList<W_Rb *> &buttons() const { return rbList; }

private:
    QGroupBox *group;
    QList<W_Rb *> rbList;
};
