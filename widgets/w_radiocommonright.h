#pragma once

#include "w_qwidget.h"

#include <QList>

class QGroupBox;
class W_Power;
class W_Progress;
class W_Rb;

// Right column of the radio panel: the radio data rate, the distance the
// chosen rate reaches and the transmit power dial.
class W_RadioCommonRight : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_RadioCommonRight(QWidget *parent = nullptr);

    void updateDistance();

    const QList<W_Rb *> &buttons() const { return rbList; }
    W_Progress *progress() const { return distance; }
    W_Power *powerPanel() const { return power; }

private:
    QGroupBox *group;
    QList<W_Rb *> rbList;
    W_Progress *distance;
    W_Power *power;
};
