#include "channelplan.h"

#include <QCoreApplication>

namespace {

struct Plan
{
    quint8 count;
    quint32 step;
};

struct BandPlan
{
    quint8 band;
    Plan bySpeed[5];
};

// Channel count and spacing in kHz by sub-band and radio data rate index.
constexpr BandPlan channelPlans[] = {
    {0, {{12, 50}, {12, 50}, {6, 100}, {3, 200}, {1, 600}}},
    {2, {{10, 50}, {10, 50}, {5, 100}, {2, 200}, {1, 500}}},
    {6, {{1, 250}, {1, 250}, {1, 250}, {1, 250}, {0, 0}}},
    {8, {{6, 50}, {6, 50}, {3, 100}, {2, 150}, {0, 0}}},
};

const BandPlan *bandPlan(quint8 band, quint8 speed)
{
    if (speed >= 5)
        return nullptr;
    for (const BandPlan &plan : channelPlans) {
        if (plan.band == band)
            return &plan;
    }
    return nullptr;
}

Plan planOf(quint8 band, quint8 speed)
{
    const BandPlan *plan = bandPlan(band, speed);
    return plan ? plan->bySpeed[speed] : Plan{0, 0};
}

} // namespace

bool ChannelPlan::knows(quint8 band, quint8 speed)
{
    return bandPlan(band, speed) != nullptr;
}

quint8 ChannelPlan::count(quint8 band, quint8 speed)
{
    return planOf(band, speed).count;
}

quint32 ChannelPlan::step(quint8 band, quint8 speed)
{
    return planOf(band, speed).step;
}

int ChannelPlan::chanelCount(quint8 speed)
{
    return count(activeBand, speed);
}

QString ChannelPlan::chanelText(quint32 bandStart, quint32 step, quint32 index)
{
    const quint32 kHz = bandStart + step / 2 + index * step;
    return QCoreApplication::translate("W_SubBand", "%1 MHz").arg(QString::number(kHz / 1000.0, 'g', 6));
}

QString ChannelPlan::chanelText(quint8 speed, quint32 index)
{
    return chanelText(activeBandStart, step(activeBand, speed), index);
}
