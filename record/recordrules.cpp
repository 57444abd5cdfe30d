#include "recordrules.h"

#include "channelplan.h"
#include "data.h"
#include "devicerules.h"

#include <algorithm>

namespace {

using Setting = SettingsTable::Setting;

// The index of the channel of `rate` whose centre frequency is that of
// channel `chanel` at `oldRate`; 0 when the new list has no such channel.
quint8 sameFrequency(quint8 oldRate, quint8 chanel, quint8 rate)
{
    if (chanel >= ChannelPlan::chanelCount(oldRate))
        return 0;
    const QString frequency = ChannelPlan::chanelText(oldRate, chanel);
    for (int i = 0; i < ChannelPlan::chanelCount(rate); ++i) {
        if (ChannelPlan::chanelText(rate, quint32(i)) == frequency)
            return quint8(i);
    }
    return 0;
}

// The settings in the window's order, of those whose values differ.
QList<const Setting *> changedBetween(const Data &before, const Data &after, const Setting *besides = nullptr)
{
    QList<const Setting *> changed;
    for (const Setting &setting : SettingsTable::settings()) {
        if (&setting != besides && before.*setting.field != after.*setting.field)
            changed.append(&setting);
    }
    return changed;
}

} // namespace

QList<const Setting *> RecordRules::edit(Data &record, const Setting &setting, quint8 value)
{
    Data before;
    copySettings(record, before);
    record.*setting.field = value;
    if (setting.field == &Data::serialDataRate)
        record.serialTimeout = quint8(DeviceRules::serialTimeoutFloor(value));
    if (setting.field == &Data::radioDataRate)
        record.chanel = sameFrequency(before.radioDataRate, before.chanel, value);
    constrain(record);
    // The edited setting is given only when the rules changed it too.
    return changedBetween(before, record, record.*setting.field == value ? &setting : nullptr);
}

QList<const Setting *> RecordRules::constrain(Data &record, const QStringList &held)
{
    Data before;
    copySettings(record, before);
    for (const Setting &setting : SettingsTable::settings()) {
        if (held.contains(setting.name))
            continue;
        quint8 &value = record.*setting.field;
        if (setting.control == SettingsTable::Control::SpinBox || setting.control == SettingsTable::Control::Dial)
            value = quint8(std::clamp(int(value), SettingsTable::minimum(setting, record), setting.maximum));
        else if (setting.encoding == SettingsTable::Encoding::FlowControl)
            value = SettingsTable::recordValue(setting, SettingsTable::shownValue(setting, value));
        else if (setting.field == &Data::chanel)
            offerChannel(record);
    }
    return changedBetween(before, record);
}

bool RecordRules::offerChannel(Data &record)
{
    if (record.chanel < ChannelPlan::chanelCount(record.radioDataRate))
        return false;
    record.chanel = 0;
    return true;
}

void RecordRules::copySettings(const Data &from, Data &to)
{
    for (const Setting &setting : SettingsTable::settings())
        to.*setting.field = from.*setting.field;
}
