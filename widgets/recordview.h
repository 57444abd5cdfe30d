#pragma once

#include "settingstable.h"
#include "typeparser.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

class Data;
class W_QWidget;
class W_Radio;
class W_Rs485;

// The panels as a view of the settings record: the record's values go to
// the controls, and before them the ranges and lists the record's rates
// allow (the serial timeout's floor, the channel list, the colours of the
// serial rates). Showing reports nothing; only the operator's edits come
// back, through the panels' sgValueChange.
class RecordView : public QObject
{
    Q_OBJECT

public:
    using Setting = SettingsTable::Setting;

    RecordView(QObject *parent, const Data *record, W_Radio *radio, W_Rs485 *rs485, W_QWidget *freezProtection);

    // The setting a panel's report of `name` edits; null for a report that
    // is not a setting's (a key, the port's button).
    static const Setting *settingReported(const QString &name);
    W_QWidget *panelOf(const Setting &setting) const;

    // Shows every setting of the record.
    void show();
    // Shows these settings, and those whose control the record's new rates
    // have changed.
    void show(const QList<const Setting *> &settings);
    // Shows the settings the answer `type` carries.
    void showAnswer(TypeParser type);
    // The radio module and its firmware as the device reported them; empty
    // texts show the panel as before a device was read.
    void showVersion(const QString &module, const QString &firmware);
    // Marks each setting's control with its note, and unmarks the others.
    void mark(const QMap<QString, QString> &notes);

private:
    QList<const Setting *> followRates();

    const Data *data;
    W_Radio *radio;
    W_Rs485 *rs485;
    W_QWidget *freezProtection;
    // The rates the ranges and lists were last given; -1 for none yet.
    int shownSerialRate = -1;
    int shownRadioRate = -1;
};
