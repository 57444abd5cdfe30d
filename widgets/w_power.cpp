#include "w_power.h"

#include "data.h"
#include "settingstable.h"

#include <QDial>
#include <QGridLayout>
#include <QLabel>

W_Power::W_Power(QWidget *parent)
    : QWidget(parent)
    , dial(new QDial(this))
{
    const SettingsTable::Setting &setting = SettingsTable::settingOf(&Data::power);
    setObjectName(setting.name);

    dial->setRange(setting.minimum, setting.maximum);
    // One wheel notch or page key moves one step: the toolkit's default moves
    // three of the eight at a time.
    dial->setPageStep(1);
    dial->setMaximumWidth(75);
    dial->setNotchesVisible(true);
    dial->setNotchTarget(5.0);
    setToolTip(tr("Transmit power, 0 (Min) to 7 (Max). The mouse wheel and the arrow keys move it one step."));

    // The dial's pointer alone does not tell 0 from 7.
    auto *value = new QLabel(QString::number(dial->value()), this);
    value->setAlignment(Qt::AlignCenter);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);

    auto *layout = new QGridLayout(this);
    layout->setSpacing(1);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(new QLabel(tr("Power"), this), 0, 0, 1, 3, Qt::AlignCenter);
    layout->addWidget(new QLabel(tr("Min"), this), 1, 0, Qt::AlignRight | Qt::AlignBottom);
    layout->addWidget(dial, 1, 1);
    layout->addWidget(new QLabel(tr("Max"), this), 1, 2, Qt::AlignLeft | Qt::AlignBottom);
    layout->addWidget(value, 2, 1);

    connect(dial, &QDial::valueChanged, value, QOverload<int>::of(&QLabel::setNum));
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
