#pragma once

#include "w_qwidget.h"

#include <QList>

class QComboBox;
class QGroupBox;
class W_Rb;

// Sub-band choice and the channel list of the chosen sub-band. The channels
// depend on the radio data rate: slower rates fit more, narrower channels.
// The list follows the rate it is given and reports nothing while it is
// rebuilt; which channel the record holds after a new rate is the record's
// rule.
class W_SubBand : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_SubBand(QWidget *parent = nullptr);

    void setSpeed(quint8 speed);
    void applyChannelPlan(quint8 band, quint8 speed, quint32 bandStart);
    void setChanelCount(quint8 count, quint32 step);

    const QList<W_Rb *> &buttons() const { return rbList; }

private:
    QGroupBox *group;
    QList<W_Rb *> rbList;
    QComboBox *chanelCombo;
    quint32 m_bandStart = 0;
};
