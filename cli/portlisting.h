#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// The serial ports the system offers, with what it knows of each, and the
// paths given with --port that exist, as lines or as JSON.
class PortListing
{
    Q_DECLARE_TR_FUNCTIONS(PortListing)

public:
    struct Port
    {
        QString path;
        QString description;
        QString manufacturer;
        QString usbId;         // "vvvv:pppp" in hex, empty when not USB
        QString serialNumber;
    };

    // The system's ports, then each extra path that exists and names none of them.
    static QList<Port> collect(const QStringList &extraPaths);
    // The serial number of the system's port that `portName` leads to (a
    // bare name, a path, a link such as /dev/serial/by-id/...); empty when
    // the system knows none.
    static QString serialNumberOf(const QString &portName);

    // One line per port: path, description, manufacturer, USB id and serial
    // number, separated by tabs, "-" for what is not known.
    static QString text(const QList<Port> &ports);
    // An array of objects with the keys path, description, manufacturer,
    // usbId and serialNumber.
    static QByteArray json(const QList<Port> &ports);
};
