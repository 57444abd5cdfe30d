#pragma once

// What the window's tests and the script's share.

#include "devicemodel.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>

// What the emulated device holds, by setting name and in the record's
// encoding; read from the emulator itself, not through the program's tables.
inline QMap<QString, int> heldBy(const DeviceModel *device)
{
    const DeviceModel::Rs485Record rs485 = device->rs485();
    return {{"Sub-band", device->sRegister(DeviceModel::SubBand)}, {"Chanel", device->sRegister(DeviceModel::Chanel)},
            {"Radio Data Rate", device->sRegister(DeviceModel::RadioDataRate)},
            {"Serial Timeout", device->sRegister(DeviceModel::SerialTimeout)},
            {"Power", device->sRegister(DeviceModel::Power)}, {"Test address", rs485.testAddress},
            {"Serial Data Rate", rs485.serialDataRate}, {"Delay Tx-Rx", rs485.delayTxRx}, {"Parity", rs485.parity},
            {"Stop bit", rs485.stopBit}, {"Flow control", device->sRegister(DeviceModel::FlowControl) == 0 ? 0 : 2},
            {"Radio Transmit Reset", rs485.radioTransmitReset}, {"WDT Reset", rs485.wdtReset}};
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
