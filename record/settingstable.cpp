#include "settingstable.h"

#include "channelplan.h"
#include "data.h"
#include "devicerules.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace {

QList<SettingsTable::Choice> numbered(const QStringList &texts)
{
    QList<SettingsTable::Choice> out;
    for (int i = 0; i < texts.size(); ++i)
        out.append({i, texts.at(i)});
    return out;
}

} // namespace

const QList<SettingsTable::Setting> &SettingsTable::settings()
{
    using E = Encoding;
    using C = Control;
    static const QList<Setting> table = {
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Sub-band")), &Data::subBand, Panel::Radio, E::Number,
         E_GetSubBand, 0, C::Buttons, true, 0, 0, nullptr},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Radio Data Rate")), &Data::radioDataRate, Panel::Radio,
         E::Number, E_GetRadioDataRate, 0, C::Buttons, true, 0, 0, nullptr},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Chanel")), &Data::chanel, Panel::Radio, E::Number,
         E_GetChanel, 0, C::List, true, 0, 0, &Data::radioDataRate},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Serial Timeout")), &Data::serialTimeout, Panel::Radio,
         E::Number, E_GetSerialTimeout, 0, C::SpinBox, false, 0, 250, &Data::serialDataRate},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Power")), &Data::power, Panel::Radio, E::Number, E_GetPower,
         0, C::Dial, false, 0, 7, nullptr},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Test address")), &Data::testAddress, Panel::Radio,
         E::Address, E_GetRs485, 0, C::SpinBox, false, 0, 63, nullptr},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Serial Data Rate")), &Data::serialDataRate, Panel::Rs485,
         E::Number, E_GetRs485, 1, C::Buttons, true, 0, 0, nullptr},
        // In units of 100 µs.
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Delay Tx-Rx")), &Data::delayTxRx, Panel::Rs485, E::Number,
         E_GetRs485, 3, C::SpinBox, false, 0, 250, nullptr},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Parity")), &Data::parity, Panel::Rs485, E::Number,
         E_GetRs485, 4, C::List, true, 0, 0, nullptr},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Stop bit")), &Data::stopBit, Panel::Rs485, E::Number,
         E_GetRs485, 7, C::List, true, 0, 0, nullptr},
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Flow control")), &Data::flowControl, Panel::Radio,
         E::FlowControl, E_GetFlowControl, 0, C::List, false, 0, 0, nullptr},
        // In units of 100 ms: 1 s to 25 s.
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "Radio Transmit Reset")), &Data::radioTransmitReset,
         Panel::FreezProtection, E::Number, E_GetRs485, 5, C::SpinBox, false, 10, 250, nullptr},
        // The value is the list's index: 0 disables, k means 10 k seconds.
        {QString::fromLatin1(QT_TRANSLATE_NOOP("Setting", "WDT Reset")), &Data::wdtReset, Panel::FreezProtection,
         E::Number, E_GetRs485, 6, C::List, true, 0, 0, nullptr},
    };
    return table;
}

const SettingsTable::Setting &SettingsTable::settingOf(quint8 Data::*field)
{
    const QList<Setting> &table = settings();
    const auto found = std::find_if(table.cbegin(), table.cend(),
                                    [field](const Setting &setting) { return setting.field == field; });
    Q_ASSERT(found != table.cend());
    return *found;
}

QString SettingsTable::label(const Setting &setting)
{
    return QCoreApplication::translate("Setting", setting.name.toLatin1().constData());
}

const SettingsTable::Setting *SettingsTable::settingNamed(const QString &name)
{
    for (const Setting &setting : settings()) {
        if (setting.name == name)
            return &setting;
    }
    return nullptr;
}

int SettingsTable::shownValue(const Setting &setting, quint8 recordValue)
{
    if (setting.encoding == Encoding::FlowControl)
        return recordValue == 0 ? 1 : 0;
    return recordValue;
}

quint8 SettingsTable::recordValue(const Setting &setting, int shownValue)
{
    if (setting.encoding == Encoding::FlowControl)
        return shownValue != 0 ? 0 : 2;
    return quint8(shownValue);
}

quint8 SettingsTable::answerValue(const Setting &setting, const QByteArray &field, quint8 current)
{
    switch (setting.encoding) {
    case Encoding::Address:
        return field.isEmpty() ? current : DeviceRules::addressOf(field.at(0));
    case Encoding::FlowControl:
        return quint8(field.toUInt()) == 0 ? 0 : 2;
    case Encoding::Number:
        break;
    }
    return quint8(field.toUInt());
}

QList<SettingsTable::Choice> SettingsTable::choices(const Setting &setting, const Data &record)
{
    if (setting.field == &Data::subBand) {
        return {{0, tr("g1 868-868.6 MHz")},
                {2, tr("g2 868.7-869.2 MHz")},
                {6, tr("g3 869.4-869.65 MHz")},
                {8, tr("g4 869.7-870 MHz")}};
    }
    if (setting.field == &Data::radioDataRate)
        return numbered({tr("4800 bps"), tr("9600 bps"), tr("19200 bps"), tr("38400 bps"), tr("115200 bps")});
    if (setting.field == &Data::chanel) {
        QStringList texts;
        for (int i = 0; i < ChannelPlan::chanelCount(record.radioDataRate); ++i)
            texts << ChannelPlan::chanelText(record.radioDataRate, quint32(i));
        return numbered(texts);
    }
    if (setting.field == &Data::serialDataRate) {
        return numbered({tr("1200 bps"), tr("2400 bps"), tr("4800 bps"), tr("9600 bps"), tr("19200 bps"),
                         tr("38400 bps"), tr("57600 bps"), tr("115200 bps")});
    }
    if (setting.field == &Data::parity) {
        return numbered({tr("8-bit data, no parity"), tr("8-bit data, even parity"), tr("8-bit data, odd parity"),
                         tr("9-bit data, no parity")});
    }
    if (setting.field == &Data::stopBit)
        return numbered({QStringLiteral("1"), QStringLiteral("2")});
    if (setting.field == &Data::flowControl)
        return numbered({tr("None"), tr("HardWare")});
    if (setting.field == &Data::wdtReset) {
        QStringList texts{tr("Disable")};
        for (int k = 1; k <= 250; ++k)
            texts << tr("%1 sec").arg(10 * k);
        return numbered(texts);
    }
    return {};
}

int SettingsTable::minimum(const Setting &setting, const Data &record)
{
    if (setting.followsRate == &Data::serialDataRate)
        return DeviceRules::serialTimeoutFloor(record.serialDataRate);
    return setting.minimum;
}

bool SettingsTable::offers(const Setting &setting, quint8 value, const Data &record)
{
    if (setting.control == Control::SpinBox || setting.control == Control::Dial)
        return value >= minimum(setting, record) && value <= setting.maximum;
    const int shown = shownValue(setting, value);
    const QList<Choice> offered = choices(setting, record);
    return std::any_of(offered.cbegin(), offered.cend(), [shown](const Choice &c) { return c.shown == shown; });
}

QString SettingsTable::text(const Setting &setting, const Data &record)
{
    const quint8 value = record.*setting.field;
    const int shown = shownValue(setting, value);
    for (const Choice &choice : choices(setting, record)) {
        if (choice.shown == shown)
            return choice.text;
    }
    return QString::number(value);
}

bool SettingsTable::parse(const Setting &setting, const QString &text, const Data &record, quint8 *value,
                          QString *problem)
{
    const QString given = text.trimmed();
    if (setting.control == Control::SpinBox || setting.control == Control::Dial) {
        bool ok = false;
        const int number = given.toInt(&ok);
        const int least = minimum(setting, record);
        // A number that fits the setting's byte is its value; whether the
        // device takes it is the record validator's judgement, made on the
        // whole record once every value is in.
        if (ok && number >= 0 && number <= 255) {
            *value = quint8(number);
            return true;
        }
        if (problem) {
            *problem = tr("\"%1\" takes a number from %2 to %3, not \"%4\"")
                           .arg(setting.name)
                           .arg(least)
                           .arg(setting.maximum)
                           .arg(given);
        }
        return false;
    }
    const QList<Choice> offered = choices(setting, record);
    QStringList texts;
    for (const Choice &choice : offered) {
        if (choice.text == given) {
            *value = recordValue(setting, choice.shown);
            return true;
        }
        texts << choice.text;
    }
    if (problem) {
        *problem = tr("\"%1\" has no choice \"%2\"; its choices are: %3")
                       .arg(setting.name, given, texts.join(QStringLiteral(", ")));
    }
    return false;
}
