#include "w_radio.h"

#include "w_radiocommonleft.h"
#include "w_radiocommonright.h"
#include "w_subband.h"

#include <QGridLayout>
#include <QGroupBox>

W_Radio::W_Radio(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(tr("Radio Module"), this))
    , subBand(new W_SubBand(group))
    , left(new W_RadioCommonLeft(group))
    , right(new W_RadioCommonRight(group))
{
    auto *groupLayout = new QGridLayout(group);
    groupLayout->setSpacing(2);
    groupLayout->setContentsMargins(1, 1, 1, 1);
    groupLayout->addWidget(subBand, 0, 0);
    groupLayout->addWidget(left, 1, 0);
    groupLayout->addWidget(right, 0, 1, 2, 1);

    auto *layout = new QGridLayout(this);
    layout->setSpacing(3);
    // -1 keeps the style's own margin on that side.
    layout->setContentsMargins(-1, 5, -1, 1);
    layout->addWidget(group, 0, 0);
}

void W_Radio::setSerialRate(quint8 serialRate)
{
    left->setSerialRate(serialRate);
}

void W_Radio::setSpeed(quint8 speed)
{
    subBand->setSpeed(speed);
}
