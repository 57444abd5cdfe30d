#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class Data;

// A record as a script sees it: the window's labels with the texts the
// window shows, as lines or as JSON.
class SettingsReport
{
    Q_DECLARE_TR_FUNCTIONS(SettingsReport)

public:
    // "Label: text", one per setting in the window's order.
    static QStringList lines(const Data &record);
    // {"port":...,"module":...,"firmware":...,"settings":{"Label":{"value":n,"text":"..."},...}} on one line.
    static QByteArray json(const QString &port, const QString &module, const QString &firmware, const Data &record);
    // The labels, and the record's values in their order, for the commissioning record.
    static QStringList labels();
    static QStringList values(const Data &record);
};
