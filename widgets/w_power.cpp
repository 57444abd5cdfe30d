#include "w_power.h"

#include <QDial>
#include <QGridLayout>
#include <QLabel>

W_Power::W_Power(QWidget *parent)
    : QWidget(parent)
    , dial(new QDial(this))
{
    setObjectName(QStringLiteral("Power"));

    dial->setRange(0, maximum);
    dial->setMaximumWidth(75);
    dial->setNotchesVisible(true);
    dial->setNotchTarget(5.0);

    auto *layout = new QGridLayout(this);
    layout->setSpacing(1);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(new QLabel(tr("Power"), this), 0, 0, 1, 3, Qt::AlignCenter);
    layout->addWidget(new QLabel(tr("Min"), this), 1, 0, Qt::AlignRight | Qt::AlignBottom);
    layout->addWidget(dial, 1, 1);
    layout->addWidget(new QLabel(tr("Max"), this), 1, 2, Qt::AlignLeft | Qt::AlignBottom);

    connect(dial, &QDial::valueChanged, this, &W_Power::sgSetPower);
}

void W_Power::setPower(quint8 power)
{
    dial->setValue(power);
}

int W_Power::power() const
{
    return dial->value();
}
