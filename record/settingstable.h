#pragma once

#include "typeparser.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

class Data;

// Every setting of the record in one table: its name (the label the window
// shows and the name a script uses), its record field, the answer that reads
// it from the device, how its value travels, and the control that shows it
// with the texts or the range that control offers. The window, the panels
// and a script all read the settings from here.
class SettingsTable
{
    Q_DECLARE_TR_FUNCTIONS(SettingsTable)

public:
    // Where the window shows a setting.
    enum class Panel { Radio, Rs485, FreezProtection };
    // How a setting's record value travels to its control and from the
    // device's answer.
    enum class Encoding {
        Number,      // the control's value is the record's; an answer field is a decimal number
        Address,     // as Number, but an answer field is the address character
        FlowControl, // record 0 (hardware) is entry 1 "HardWare", anything else entry 0 "None"
    };
    enum class Control { Buttons, List, SpinBox, Dial };

    struct Setting
    {
        QString name;
        quint8 Data::*field;
        Panel panel;
        Encoding encoding;
        TypeParser readBy;
        int answerField;
        Control control;
        // Held by a list or a set of buttons that cannot show a value it does
        // not offer. Flow control's list shows every value as one of its two
        // entries; spin boxes and the dial bring a value into their range.
        bool listed;
        // The range of a spin box or the dial.
        int minimum;
        int maximum;
        // The rate whose value sets this setting's range or choices: the
        // serial data rate for the serial timeout, the radio data rate for
        // the channel; null for the others.
        quint8 Data::*followsRate;
    };

    // One entry of a list or one button: the control's value and its text.
    struct Choice
    {
        int shown;
        QString text;
    };

    // Every setting, in the order the window shows a whole record.
    static const QList<Setting> &settings();
    static const Setting &settingOf(quint8 Data::*field);
    // The setting of that name; null for none.
    static const Setting *settingNamed(const QString &name);
    // The setting's name as the operator reads it beside its control: the
    // name itself, or its translation where one is installed.
    static QString label(const Setting &setting);

    // The control value that shows a record value, and the record value a
    // control value stands for.
    static int shownValue(const Setting &setting, quint8 recordValue);
    static quint8 recordValue(const Setting &setting, int shownValue);
    // The record value a field of the device's answer stands for. An empty
    // address field keeps the address the record already has.
    static quint8 answerValue(const Setting &setting, const QByteArray &field, quint8 current);

    // The entries or buttons of a list or button setting in the order the
    // control holds them; the channels follow the record's radio data rate.
    // Empty for spin boxes and the dial.
    static QList<Choice> choices(const Setting &setting, const Data &record);
    // The least value of a spin box or the dial at the record's rates.
    static int minimum(const Setting &setting, const Data &record);
    // Whether the control offers the record value `value` at the record's rates.
    static bool offers(const Setting &setting, quint8 value, const Data &record);
    // The setting's value in `record` as its control shows it ("19200 bps",
    // "17"); a value a list lacks is given as its number.
    static QString text(const Setting &setting, const Data &record);
    // The record value a control's text stands for: an entry's or button's
    // text at the record's rates, or a number of a spin box or the dial that
    // fits a byte (RecordValidator judges its range with the whole record).
    // Anything else is refused (false) with the reason and the values allowed.
    static bool parse(const Setting &setting, const QString &text, const Data &record, quint8 *value,
                      QString *problem = nullptr);
};
