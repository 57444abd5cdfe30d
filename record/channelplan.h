#pragma once

#include <QString>

// The radio channels of the 868 MHz sub-bands: how many channels each radio
// data rate fits into a sub-band, how far apart they are, and the centre
// frequency that names a channel on the panels.
class ChannelPlan
{
public:
    // Only the g2 sub-band is offered: the device works in it alone.
    static constexpr quint8 activeBand = 2;
    static constexpr quint32 activeBandStart = 868700;

    // Whether the plan knows a sub-band number (0, 2, 6 or 8) at a radio
    // data rate index (0 to 4).
    static bool knows(quint8 band, quint8 speed);
    // Channel count and spacing in kHz for a sub-band number (0, 2, 6 or 8)
    // and a radio data rate index (0 to 4); 0 for what the plan does not know.
    static quint8 count(quint8 band, quint8 speed);
    static quint32 step(quint8 band, quint8 speed);
    // The channels of the active sub-band at a radio data rate index.
    static int chanelCount(quint8 speed);
    // The name of channel `index` of a plan starting at `bandStart` kHz:
    // its centre frequency, "868.725 MHz".
    static QString chanelText(quint32 bandStart, quint32 step, quint32 index);
    // The name of channel `index` of the active sub-band at a radio data rate.
    static QString chanelText(quint8 speed, quint32 index);
};
