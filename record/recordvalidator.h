#pragma once

#include "settingstable.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class Data;

// The one judge of a record that comes from outside the program: a settings
// file opened in the window (by "Open Settings" or as its argument) or given
// to ryd-cli, the start-up file read back, and a record after ryd-cli's --set
// values. A record passes when every setting holds a value the device takes
// and its control can show: within the range of a spin box or the dial (the
// serial timeout from the floor of the record's serial data rate), one of
// the buttons or entries of a list (the channels of the record's radio data
// rate), flow control 0 (hardware) or 2 (none). The words of a refusal are
// the same for the window and the script.
class RecordValidator
{
    Q_DECLARE_TR_FUNCTIONS(RecordValidator)

public:
    struct Refusal
    {
        const SettingsTable::Setting *setting;
        // The value the record holds.
        quint8 value;
        // The values the setting takes at the record's rates: "0 to 7",
        // "0 = 4800 bps to 4 = 115200 bps", "0 = HardWare, 2 = None".
        QString allowed;
        // The setting, its value and the values allowed, in one phrase:
        // "\"Power\" holds 9 (allowed: 0 to 7)".
        QString text;
    };

    // Every setting of `record` that holds a value the device does not take,
    // in the window's order; empty when the record passes. A setting whose
    // range or choices follow a rate the record holds out of range is not
    // judged: the rate is refused, and its values cannot be named.
    static QList<Refusal> refusals(const Data &record);
    // The refusals' phrases joined by "; ".
    static QString describe(const QList<Refusal> &refusals);
    // Loads the settings file `fileName` into `record` only when it can be
    // read, is complete and passes; otherwise `record` stays as it was and
    // `problem` receives loadFailure's sentence. A file without the
    // flow-control byte keeps the record's flow control (`hasFlowControl`
    // false).
    static bool load(const QString &fileName, Data &record, QString *problem = nullptr,
                     bool *hasFlowControl = nullptr);
    // "The settings could not be loaded from "site.ryd": reason".
    static QString loadFailure(const QString &fileName, const QString &reason);
};
