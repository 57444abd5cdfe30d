#include "w_subband.h"

#include "w_rb.h"
#include "widgetslog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {

// Only the g2 sub-band is offered; the others stay disabled in the panel.
constexpr quint8 activeBand = 2;
constexpr quint32 activeBandStart = 868700;

struct ChannelPlan
{
    quint8 count;
    quint32 step;
};

struct BandPlan
{
    quint8 band;
    ChannelPlan bySpeed[5];
};

// Channel count and spacing in kHz by sub-band and radio data rate index.
constexpr BandPlan channelPlans[] = {
    {0, {{12, 50}, {12, 50}, {6, 100}, {3, 200}, {1, 600}}},
    {2, {{10, 50}, {10, 50}, {5, 100}, {2, 200}, {1, 500}}},
    {6, {{1, 250}, {1, 250}, {1, 250}, {1, 250}, {0, 0}}},
    {8, {{6, 50}, {6, 50}, {3, 100}, {2, 150}, {0, 0}}},
};

} // namespace

W_SubBand::W_SubBand(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(tr("Sub-band"), this))
    , chanelCombo(new QComboBox(group))
{
    group->setObjectName(QStringLiteral("Sub-band"));
    auto *groupLayout = new QVBoxLayout(group);
    const struct
    {
        quint8 number;
        const char *text;
    } bands[] = {
        {0, QT_TR_NOOP("g1 868-868.6 MHz")},
        {2, QT_TR_NOOP("g2 868.7-869.2 MHz")},
        {6, QT_TR_NOOP("g3 869.4-869.65 MHz")},
        {8, QT_TR_NOOP("g4 869.7-870 MHz")},
    };
    group->setToolTip(tr("Part of the 868 MHz band the device works in."));
    for (const auto &b : bands) {
        auto *rb = new W_Rb(group, b.number, tr(b.text));
        rb->setEnabled(b.number == activeBand);
        if (!rb->isEnabled())
            rb->setToolTip(tr("Not available: the device works in sub-band g2 only."));
        rbList.append(rb);
        groupLayout->addWidget(rb);
    }
    chanelCombo->setObjectName(QStringLiteral("Chanel"));
    // The group's title names the buttons; the list has no caption of its own.
    chanelCombo->setAccessibleName(tr("Channel"));
    chanelCombo->setToolTip(tr("Radio channel, by its centre frequency. The list follows the radio data rate: the "
                               "slower the rate, the more channels. Both ends of a link need the same channel."));
    groupLayout->addWidget(chanelCombo);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    // Until a record is applied the list shows the 19200 bps channels.
    applyChannelPlan(activeBand, 2, activeBandStart);
}

void W_SubBand::setSpeed(quint8 speed)
{
    qCDebug(lcWSubBand) << "setSpeed" << speed;
    applyChannelPlan(activeBand, speed, activeBandStart);
}

// The operator chose another radio data rate: the channel keeps its centre
// frequency where the new list has it, otherwise the first channel is chosen.
// Moving to another frequency by accident would cut the device off from its
// remote partners.
void W_SubBand::changeRate(const QString &name, quint8 value)
{
    if (!name.startsWith(QLatin1String("Radio Data Rate")))
        return;
    const QString frequency = chanelCombo->currentText();
    applyChannelPlan(activeBand, value, activeBandStart);
    const int same = chanelCombo->findText(frequency);
    if (same > 0)
        chanelCombo->setCurrentIndex(same);
}

int W_SubBand::chanelCount(quint8 speed)
{
    if (speed >= 5)
        return 0;
    for (const BandPlan &plan : channelPlans) {
        if (plan.band == activeBand)
            return plan.bySpeed[speed].count;
    }
    return 0;
}

void W_SubBand::applyChannelPlan(quint8 band, quint8 speed, quint32 bandStart)
{
    m_bandStart = bandStart;
    if (speed >= 5)
        return;
    for (const BandPlan &plan : channelPlans) {
        if (plan.band == band) {
            setChanelCount(plan.bySpeed[speed].count, plan.bySpeed[speed].step);
            return;
        }
    }
}

void W_SubBand::setChanelCount(quint8 count, quint32 step)
{
    qCDebug(lcWSubBand) << "setChanelCount" << count << step;
    // Always the first item, so the box reports each step of the rebuild and
    // ends with the first channel selected.
    for (int n = chanelCombo->count(); n > 0; --n)
        chanelCombo->removeItem(0);
    for (quint32 i = 0; i < count; ++i) {
        const quint32 kHz = m_bandStart + step / 2 + i * step;
        chanelCombo->addItem(tr("%1 MHz").arg(QString::number(kHz / 1000.0, 'g', 6)));
    }
}
