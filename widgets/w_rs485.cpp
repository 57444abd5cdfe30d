#include "w_rs485.h"

#include "w_rs485common.h"
#include "w_serialrate.h"

#include <QGridLayout>
#include <QGroupBox>

W_Rs485::W_Rs485(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(tr("RS-485"), this))
    , serialRate(new W_SerialRate(group))
    , common(new W_Rs485Common(group))
{
    serialRate->setContentsMargins(0, 0, 0, 0);

    auto *groupLayout = new QGridLayout(group);
    groupLayout->setSpacing(0);
    groupLayout->setContentsMargins(1, 1, 1, 1);
    groupLayout->addWidget(serialRate, 0, 0);
    groupLayout->addWidget(common, 1, 0);

    auto *layout = new QGridLayout(this);
    layout->setSpacing(0);
    // -1 keeps the style's own margin on that side.
    layout->setContentsMargins(-1, 5, -1, 1);
    layout->addWidget(group, 0, 0);

    common->connectAll();
}

void W_Rs485::setRadioRate(quint8 radioRate)
{
    serialRate->setRadioRate(radioRate);
}
