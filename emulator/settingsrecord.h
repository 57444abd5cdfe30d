#pragma once

#include <QByteArray>
#include <QString>

class DeviceModel;

// A settings file of the configurator ("*.ryd"), read so that the emulated
// device can start out holding what such a file describes.
class SettingsRecord
{
public:
    quint8 delayTxRx = 0;
    quint8 power = 7;
    quint8 radioDataRate = 2;
    quint8 chanel = 0;
    quint8 parity = 0;
    quint8 stopBit = 0;
    quint8 subBand = 2;
    quint8 serialTimeout = 2;
    quint8 radioTransmitReset = 50;
    quint8 serialDataRate = 4;
    quint8 wdtReset = 6;
    quint8 testAddress = 0;
    QString portName;
    quint8 flowControl = 2;

    // The file's bytes: twelve one-byte fields, the port name as a data-stream
    // string and the flow control byte. As in the configurator, a file that
    // ends after the twelve bytes leaves an empty port name and flow control
    // 0; one shorter than twelve bytes is refused.
    static SettingsRecord fromBytes(const QByteArray &bytes, bool *ok = nullptr,
                                    QString *error = nullptr);
    QByteArray toBytes() const;

    // Puts the record into the device: the radio settings into the module's
    // registers (the serial rate index into S210 as index + 1) and the RS-485
    // fields into the controller's record.
    void applyTo(DeviceModel *device) const;
};
