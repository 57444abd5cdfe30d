#include "w_subband.h"

#include "channelplan.h"
#include "data.h"
#include "settingstable.h"
#include "w_rb.h"
#include "widgetslog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QVBoxLayout>

W_SubBand::W_SubBand(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(SettingsTable::label(SettingsTable::settingOf(&Data::subBand)), this))
    , chanelCombo(new QComboBox(group))
{
    group->setObjectName(QStringLiteral("Sub-band"));
    auto *groupLayout = new QVBoxLayout(group);
    group->setToolTip(tr("Part of the 868 MHz band the device works in."));
    for (const SettingsTable::Choice &band : SettingsTable::choices(SettingsTable::settingOf(&Data::subBand), Data())) {
        auto *rb = new W_Rb(group, quint8(band.shown), band.text);
        // Only the g2 sub-band is offered; the others stay disabled.
        rb->setEnabled(band.shown == ChannelPlan::activeBand);
        if (!rb->isEnabled())
            rb->setToolTip(tr("Not available: the device works in sub-band g2 only."));
        rbList.append(rb);
        groupLayout->addWidget(rb);
    }
    chanelCombo->setObjectName(SettingsTable::settingOf(&Data::chanel).name);
    // The group's title names the buttons; the list has no caption of its own.
    chanelCombo->setAccessibleName(tr("Channel"));
    chanelCombo->setToolTip(tr("Radio channel, by its centre frequency. The list follows the radio data rate: the "
                               "slower the rate, the more channels. Both ends of a link need the same channel."));
    groupLayout->addWidget(chanelCombo);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    // Until a record is applied the list shows the 19200 bps channels.
    applyChannelPlan(ChannelPlan::activeBand, 2, ChannelPlan::activeBandStart);
}

void W_SubBand::setSpeed(quint8 speed)
{
    qCDebug(lcWSubBand) << "setSpeed" << speed;
    applyChannelPlan(ChannelPlan::activeBand, speed, ChannelPlan::activeBandStart);
}

void W_SubBand::applyChannelPlan(quint8 band, quint8 speed, quint32 bandStart)
{
    m_bandStart = bandStart;
    // A rate or a sub-band the plan does not know keeps the list as it is.
    if (ChannelPlan::knows(band, speed))
        setChanelCount(ChannelPlan::count(band, speed), ChannelPlan::step(band, speed));
}

void W_SubBand::setChanelCount(quint8 count, quint32 step)
{
    qCDebug(lcWSubBand) << "setChanelCount" << count << step;
    // The rebuild ends with the first channel selected, unreported.
    const QSignalBlocker quiet(chanelCombo);
    chanelCombo->clear();
    for (quint32 i = 0; i < count; ++i)
        chanelCombo->addItem(ChannelPlan::chanelText(m_bandStart, step, i));
}
