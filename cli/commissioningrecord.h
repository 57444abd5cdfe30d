#pragma once

#include "settingsreport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The commissioning record: a CSV file to which every device and command
// served adds one line (time, port, the adapter's serial number, command,
// result, the controller's hardware and firmware, the radio module and its
// firmware, then each setting as the window shows it). The header is written
// when the file is new; a file with other columns is never appended to.
class CommissioningRecord
{
    Q_DECLARE_TR_FUNCTIONS(CommissioningRecord)

public:
    struct Line
    {
        QDateTime time;
        QString port;
        QString command;
        QString result;
        QString adapterSerial;
        SettingsReport::Identity unit;
        // One value per setting label, in the labels' order; empty when not known.
        QStringList values;
    };

    CommissioningRecord(const QString &fileName, const QStringList &settingLabels);

    // Whether lines can be added: a new or empty file, or one whose header is
    // this record's. False, with the reason, otherwise.
    bool check(QString *problem) const;
    // False, with the system's reason, when the line could not be written.
    bool append(const Line &line, QString *problem) const;

private:
    QString header() const;

    QString fileName;
    QStringList labels;
};
