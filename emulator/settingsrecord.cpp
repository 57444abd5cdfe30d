#include "settingsrecord.h"

#include "devicemodel.h"

#include <QDataStream>
#include <QIODevice>

namespace {

const int byteFields = 12;
// The configurator reads and writes its files in the Qt 5.15 stream layout,
// whichever Qt it is built with.
constexpr QDataStream::Version streamVersion = QDataStream::Qt_5_15;

} // namespace

SettingsRecord SettingsRecord::fromBytes(const QByteArray &bytes, bool *ok, QString *error)
{
    SettingsRecord record;
    if (bytes.size() < byteFields) {
        if (ok)
            *ok = false;
        if (error)
            *error = QStringLiteral("a settings file holds at least %1 bytes, this one %2")
                         .arg(byteFields)
                         .arg(bytes.size());
        return record;
    }
    QDataStream in(bytes);
    in.setVersion(streamVersion);
    in >> record.delayTxRx >> record.power >> record.radioDataRate >> record.chanel
        >> record.parity >> record.stopBit >> record.subBand >> record.serialTimeout
        >> record.radioTransmitReset >> record.serialDataRate >> record.wdtReset
        >> record.testAddress;
    in >> record.portName;
    if (in.status() != QDataStream::Ok)
        record.portName.clear();
    record.flowControl = 0;
    if (in.status() == QDataStream::Ok)
        in >> record.flowControl;
    if (in.status() != QDataStream::Ok)
        record.flowControl = 0;
    if (ok)
        *ok = true;
    return record;
}

QByteArray SettingsRecord::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << delayTxRx << power << radioDataRate << chanel << parity << stopBit << subBand
        << serialTimeout << radioTransmitReset << serialDataRate << wdtReset << testAddress
        << portName << flowControl;
    return bytes;
}

void SettingsRecord::applyTo(DeviceModel *device) const
{
    device->setSRegister(DeviceModel::Chanel, chanel);
    device->setSRegister(DeviceModel::RadioDataRate, radioDataRate);
    device->setSRegister(DeviceModel::Power, power);
    device->setSRegister(DeviceModel::SubBand, subBand);
    device->setSRegister(DeviceModel::SerialDataRate, serialDataRate + 1);
    device->setSRegister(DeviceModel::SerialTimeout, serialTimeout);
    device->setSRegister(DeviceModel::FlowControl, flowControl);
    device->setLinkRate(serialDataRate + 1);

    DeviceModel::Rs485Record rs485 = device->rs485();
    rs485.testAddress = testAddress;
    rs485.serialDataRate = serialDataRate;
    rs485.delayTxRx = delayTxRx;
    rs485.parity = parity;
    rs485.radioTransmitReset = radioTransmitReset;
    rs485.wdtReset = wdtReset;
    rs485.stopBit = stopBit;
    device->setRs485(rs485);
}
