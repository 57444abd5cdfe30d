#pragma once

#include "devicemodel.h"

#include <QMap>
#include <QString>

// What the emulated device holds, by setting name and in the record's
// encoding; read from the emulator itself, not through the program's tables.
inline QMap<QString, int> heldBy(const DeviceModel *device)
{
    const DeviceModel::Rs485Record rs485 = device->rs485();
    return {{"Sub-band", device->sRegister(DeviceModel::SubBand)},
            {"Radio Data Rate", device->sRegister(DeviceModel::RadioDataRate)},
            {"Chanel", device->sRegister(DeviceModel::Chanel)},
            {"Serial Timeout", device->sRegister(DeviceModel::SerialTimeout)},
            {"Power", device->sRegister(DeviceModel::Power)},
            {"Test address", rs485.testAddress},
            {"Serial Data Rate", rs485.serialDataRate},
            {"Delay Tx-Rx", rs485.delayTxRx},
            {"Parity", rs485.parity},
            {"Stop bit", rs485.stopBit},
            {"Flow control", device->sRegister(DeviceModel::FlowControl) == 0 ? 0 : 2},
            {"Radio Transmit Reset", rs485.radioTransmitReset},
            {"WDT Reset", rs485.wdtReset}};
}
