#include "portlisting.h"

#include "serialportname.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPortInfo>

QList<PortListing::Port> PortListing::collect(const QStringList &extraPaths)
{
    QList<Port> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        Port port;
        port.path = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            port.usbId = QStringLiteral("%1:%2")
                             .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                             .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        port.serialNumber = info.serialNumber();
        ports << port;
    }
    for (const QString &path : extraPaths) {
        if (!QFileInfo::exists(path))
            continue;
        bool listed = false;
        for (const Port &port : qAsConst(ports))
            listed = listed || SerialPortName(path).isSameAs(SerialPortName(port.path));
        if (!listed)
            ports << Port{path, QString(), QString(), QString(), QString()};
    }
    return ports;
}

QString PortListing::serialNumberOf(const QString &portName)
{
    for (const Port &port : collect({})) {
        if (SerialPortName(portName).isSameAs(SerialPortName(port.path)))
            return port.serialNumber;
    }
    return QString();
}

QString PortListing::text(const QList<Port> &ports)
{
    const auto shown = [](const QString &value) {
        return value.isEmpty() ? QStringLiteral("-") : value;
    };
    QString lines;
    for (const Port &port : ports) {
        lines += QStringList{port.path, shown(port.description), shown(port.manufacturer),
                             shown(port.usbId), shown(port.serialNumber)}
                     .join(QLatin1Char('\t'))
                 + QLatin1Char('\n');
    }
    return lines;
}

QByteArray PortListing::json(const QList<Port> &ports)
{
    QJsonArray array;
    for (const Port &port : ports) {
        array.append(QJsonObject{{QStringLiteral("path"), port.path},
                                 {QStringLiteral("description"), port.description},
                                 {QStringLiteral("manufacturer"), port.manufacturer},
                                 {QStringLiteral("usbId"), port.usbId},
                                 {QStringLiteral("serialNumber"), port.serialNumber}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact) + '\n';
}
