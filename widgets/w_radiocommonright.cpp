#include "w_radiocommonright.h"

#include "data.h"
#include "settingstable.h"
#include "w_power.h"
#include "w_progress.h"
#include "w_rb.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

W_RadioCommonRight::W_RadioCommonRight(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(SettingsTable::label(SettingsTable::settingOf(&Data::radioDataRate)), this))
    , distance(new W_Progress(group))
    , power(new W_Power(this))
{
    group->setObjectName(QStringLiteral("Radio Data Rate"));
    // The group's tip serves its buttons; the distance bar has its own.
    group->setToolTip(tr("Data rate of the radio link. The slower the rate, the farther it reaches and the more "
                         "channels it offers. Both ends of a link need the same rate."));
    auto *groupLayout = new QGridLayout(group);
    const QList<SettingsTable::Choice> rates =
        SettingsTable::choices(SettingsTable::settingOf(&Data::radioDataRate), Data());
    for (const SettingsTable::Choice &rate : rates) {
        auto *rb = new W_Rb(group, quint8(rate.shown), rate.text);
        connect(rb, &W_Rb::toggled, this, &W_RadioCommonRight::updateDistance);
        groupLayout->addWidget(rb, rate.shown, 0);
        rbList.append(rb);
    }
    groupLayout->addWidget(distance, int(rates.size()), 0);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(power);
}

void W_RadioCommonRight::updateDistance()
{
    for (const W_Rb *rb : qAsConst(rbList)) {
        if (!rb->isChecked())
            continue;
        // The bar never reads a full 100: the slowest rate shows 98.
        const quint8 percent = quint8((5 - rb->number()) * 20);
        distance->setPercent(percent > 99 ? 98 : percent);
    }
}
