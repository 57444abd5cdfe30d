#pragma once

#include <QSerialPort>

// Opens the configurator's end of the line as the configurator does: 9600
// baud, 8N1, no flow control.
inline bool openPort(QSerialPort *port, const QString &name)
{
    port->setPortName(name);
    port->setBaudRate(QSerialPort::Baud9600);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    return port->open(QIODevice::ReadWrite);
}
