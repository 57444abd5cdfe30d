#pragma once

#include <QCoreApplication>
#include <QSerialPort>
#include <QString>

// A serial port name as the port row shows it: a name the system lists
// ("ttyUSB0", "COM3") or a path given with --port. It resolves the name to the
// file it leads to, and says in the operator's words why a port on it could
// not be used.
class SerialPortName
{
    Q_DECLARE_TR_FUNCTIONS(SerialPortName)

public:
    enum OpenFailure { Missing, InUse, PermissionDenied, OtherFailure };

    explicit SerialPortName(const QString &portName);

    // The file QSerialPort opens for the name: a path stays as it is, a
    // relative one taken from the working folder, and a bare name is looked
    // for under /dev (under \\.\ on Windows).
    QString location() const;
    // The device is there now. A Windows port name is taken as there: only
    // opening it tells.
    bool exists() const;
    // Both names lead to the same file once links are resolved.
    bool isSameAs(const SerialPortName &other) const;

    // Why opening the port failed with `error`. Qt reports a port held by
    // another program and a device file this user may not open alike, as a
    // permission error; the file's access rights tell them apart.
    OpenFailure openFailure(QSerialPort::SerialPortError error) const;
    // The message for a failed connect: the port, and why in plain words.
    QString openFailureText(QSerialPort::SerialPortError error, const QString &systemError) const;
    // The message for a port that vanished while open; the system's own words
    // follow on a line of their own.
    QString connectionLostText(const QString &systemError) const;

private:
    QString name;
};
