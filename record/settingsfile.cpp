#include "settingsfile.h"

#include "data.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QList>

namespace {

// The files written by every build, with Qt 5 or Qt 6, keep the layout of
// the Qt 5.15 data stream: the one the operators' existing files use.
constexpr QDataStream::Version streamVersion = QDataStream::Qt_5_15;

// The twelve one-byte settings in the order both layouts use.
const QList<quint8 Data::*> &settingOrder()
{
    static const QList<quint8 Data::*> order = {
        &Data::delayTxRx, &Data::power, &Data::radioDataRate, &Data::chanel,
        &Data::parity, &Data::stopBit, &Data::subBand, &Data::serialTimeout,
        &Data::radioTransmitReset, &Data::serialDataRate, &Data::wdtReset,
        &Data::testAddress};
    return order;
}

QDataStream &writeSettingBytes(QDataStream &out, const Data &data)
{
    for (quint8 Data::*field : settingOrder())
        out << qint8(data.*field);
    return out;
}

void readSettingBytes(QDataStream &in, Data &data)
{
    for (quint8 Data::*field : settingOrder()) {
        qint8 value = 0;
        in >> value;
        data.*field = quint8(value);
    }
}

} // namespace

QByteArray SettingsFile::encode(const Data &data)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    writeSettingBytes(out, data) << data.portName << qint8(data.flowControl);
    return bytes;
}

QByteArray SettingsFile::encodeStartup(const Data &data)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    writeSettingBytes(out, data) << data.portName;
    return bytes;
}

bool SettingsFile::decode(const QByteArray &bytes, Data &data, QString *problem)
{
    if (bytes.size() < settingBytes) {
        if (problem)
            *problem = QCoreApplication::translate("SettingsFile", "the file is too short to hold settings");
        return false;
    }
    QDataStream in(bytes);
    in.setVersion(streamVersion);
    readSettingBytes(in, data);
    QString portName;
    qint8 flowControl = 0;
    in >> portName;
    // Past a corrupt or missing port name nothing more can be read in place.
    if (in.status() == QDataStream::Ok)
        in >> flowControl;
    data.portName = portName;
    data.flowControl = quint8(flowControl);
    return true;
}

bool SettingsFile::decodeStartup(const QByteArray &bytes, Data &data)
{
    if (bytes.size() < settingBytes)
        return false;
    QDataStream in(bytes);
    in.setVersion(streamVersion);
    readSettingBytes(in, data);
    return true;
}
