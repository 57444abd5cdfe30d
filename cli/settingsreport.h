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
    // Which unit it is: the controller's hardware and firmware ("$2"), the
    // radio module and its firmware ("AT/V"); empty what was not read.
    struct Identity
    {
        QString hardware;
        QString firmware;
        QString module;
        QString moduleFirmware;
    };

    // "Label: text", one per setting in the window's order.
    static QStringList lines(const Data &record);
    // "Hardware: B", "Firmware: 2.3", "Radio module: LE50-868", "Radio module firmware: V4.02".
    static QStringList lines(const Identity &identity);
    // {"port":...,"hardware":...,"firmware":...,"module":...,"module_firmware":...,
    //  "settings":{"Label":{"value":n,"text":"..."},...}} on one line.
    static QByteArray json(const QString &port, const Identity &identity, const Data &record);
    // The labels, and the record's settings in their order as the window
    // shows them, for the commissioning record.
    static QStringList labels();
    static QStringList values(const Data &record);
};
