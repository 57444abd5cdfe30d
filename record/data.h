#pragma once

#include <QObject>
#include <QString>

// The device settings record: one byte per setting plus the port name. The
// window and the exchange read and write the fields directly.
class Data : public QObject
{
    Q_OBJECT

public:
    explicit Data(QObject *parent = nullptr);

    quint8 subBand = 0;
    quint8 radioDataRate = 0;
    quint8 chanel = 0;
    quint8 power = 0;
    quint8 testAddress = 0;
    quint8 serialDataRate = 0;
    quint8 serialTimeout = 0;
    quint8 delayTxRx = 0;
    quint8 parity = 0;
    quint8 radioTransmitReset = 0;
    quint8 stopBit = 0;
    // 0 means hardware flow control, 2 means none.
    quint8 flowControl = 0;
    quint8 wdtReset = 0;
    QString portName = QStringLiteral("COM1");
};
