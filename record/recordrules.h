#pragma once

#include "settingstable.h"

#include <QList>
#include <QStringList>

class Data;

// The rules a settings record keeps after every change, whoever made it: the
// operator's edit in the window, the device's answers, a file, a script's
// --set values. The panels take their ranges and lists from the same rules
// and never change a value by themselves, so that what they show and what
// the record holds cannot drift apart.
class RecordRules
{
public:
    using Setting = SettingsTable::Setting;

    // Sets `setting` to `value` as the operator's edit does, then follows it
    // and constrains the record: a serial data rate chosen, even the one
    // held, sets the serial timeout to that rate's floor; a radio data rate
    // chosen keeps the channel's centre frequency where the new rate's list
    // has it, and takes the first channel otherwise (a channel moved by
    // accident would cut the device off from its remote partners). Returns the settings changed besides
    // `setting`, in the window's order; `setting` too where the rules did
    // not let it take `value`.
    static QList<const Setting *> edit(Data &record, const Setting &setting, quint8 value);

    // Brings every setting to what its rules allow at the record's rates: a
    // spin box's or the dial's setting into its range (the serial timeout
    // from the floor of the serial data rate), the channel into the list of
    // the radio data rate (the first one otherwise), flow control to one of
    // its two values. Another list setting that holds no entry of its list
    // keeps its value: no entry says what it should become. The settings
    // named in `held` keep their values too: a device reported them, and
    // they are written back as they were. Returns the settings changed, in
    // the window's order.
    static QList<const Setting *> constrain(Data &record, const QStringList &held = {});

    // Moves a channel that the record's radio data rate does not offer to the
    // first one; true when it moved.
    static bool offerChannel(Data &record);

    // Copies every setting, not the port name.
    static void copySettings(const Data &from, Data &to);
};
