#include "settingsfile.h"

#include "data.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
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

bool SettingsFile::decode(const QByteArray &bytes, Data &data, QString *problem, bool *hasFlowControl)
{
    const auto refuse = [problem](const char *reason) {
        if (problem)
            *problem = QCoreApplication::translate("SettingsFile", reason);
        return false;
    };
    if (bytes.size() < settingBytes)
        return refuse(QT_TRANSLATE_NOOP("SettingsFile", "the file is incomplete: it ends inside its settings"));
    Data read;
    QDataStream in(bytes);
    in.setVersion(streamVersion);
    readSettingBytes(in, read);
    // Twelve bytes alone are the oldest layout: no port name, no flow control.
    QString portName;
    if (!in.atEnd()) {
        in >> portName;
        if (in.status() == QDataStream::ReadPastEnd)
            return refuse(QT_TRANSLATE_NOOP("SettingsFile", "the file is incomplete: it ends inside the port name"));
        if (in.status() != QDataStream::Ok)
            return refuse(QT_TRANSLATE_NOOP("SettingsFile", "the file is damaged: its port name cannot be read"));
    }
    // The start-up file's layout ends before the flow-control byte; the
    // record keeps the flow control it has.
    const bool flowControlRead = !in.atEnd();
    if (flowControlRead) {
        qint8 flowControl = 0;
        in >> flowControl;
        data.flowControl = quint8(flowControl);
    }
    for (quint8 Data::*field : settingOrder())
        data.*field = read.*field;
    data.portName = portName;
    if (hasFlowControl)
        *hasFlowControl = flowControlRead;
    return true;
}

bool SettingsFile::load(const QString &fileName, Data &data, QString *problem, bool *hasFlowControl)
{
    constexpr qint64 readLimit = 1 << 20;
    QFile file(fileName);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(readLimit);
    if (file.error() != QFileDevice::NoError) {
        if (problem)
            *problem = file.errorString();
        return false;
    }
    return decode(bytes, data, problem, hasFlowControl);
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
