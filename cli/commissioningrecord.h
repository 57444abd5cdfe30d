#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The commissioning record: a CSV file to which every device and command
// served adds one line (time, port, command, result, module, firmware, then
// each setting's value). The header is written when the file is new.
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
        QString module;
        QString firmware;
        // One value per setting label, in the labels' order; empty when not known.
        QStringList values;
    };

    CommissioningRecord(const QString &fileName, const QStringList &settingLabels);

    // False, with the system's reason, when the line could not be written.
    bool append(const Line &line, QString *problem) const;

private:
    QString fileName;
    QStringList labels;
};
