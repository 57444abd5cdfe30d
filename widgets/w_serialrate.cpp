#include "w_serialrate.h"

#include "data.h"
#include "devicerules.h"
#include "settingstable.h"
#include "w_rb.h"

#include <QGridLayout>
#include <QGroupBox>

W_SerialRate::W_SerialRate(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(SettingsTable::label(SettingsTable::settingOf(&Data::serialDataRate)), this))
{
    group->setObjectName(QStringLiteral("Serial Data Rate"));
    // The group's tip serves its buttons, which have none of their own.
    group->setToolTip(tr("Serial data rate of the RS-485 line.\n"
                         "Green: the radio data rate can carry this rate.\n"
                         "Yellow: faster than the radio data rate can carry."));
    auto *groupLayout = new QGridLayout(group);
    groupLayout->setSpacing(0);
    for (const SettingsTable::Choice &rate :
         SettingsTable::choices(SettingsTable::settingOf(&Data::serialDataRate), Data())) {
        auto *rb = new W_Rb(group, quint8(rate.shown), rate.text);
        groupLayout->addWidget(rb, rate.shown % 4, rate.shown / 4);
        rbList.append(rb);
    }

    auto *layout = new QGridLayout(this);
    layout->setSpacing(0);
    layout->addWidget(group, 0, 0);
}

void W_SerialRate::setRadioRate(quint8 radioRate)
{
    const int highest = DeviceRules::highestSustainedRate(radioRate);
    for (int i = 0; i < rbList.size(); ++i) {
        W_Rb *rb = rbList.at(i);
        // The base colour fills the button's indicator.
        QPalette palette = rb->palette();
        palette.setBrush(QPalette::Base, QBrush(i > highest ? Qt::yellow : Qt::green));
        rb->setPalette(palette);
    }
}
