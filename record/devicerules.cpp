#include "devicerules.h"

#include "data.h"

#include <QString>

QChar DeviceRules::addressChar(quint8 address)
{
    return QChar(ushort((48 + address) % 256));
}

quint8 DeviceRules::addressOf(char addressChar)
{
    return quint8(quint8(addressChar) - 48);
}

QByteArray DeviceRules::pollRequest(quint8 address)
{
    return (QStringLiteral("!01") + addressChar(address)).toUtf8();
}

QByteArray DeviceRules::pollAnswer(quint8 address)
{
    return (QStringLiteral("TEST") + addressChar(address)).toUtf8();
}

int DeviceRules::polledAddress(const QByteArray &request)
{
    const QByteArray poll = pollRequest(0);
    if (request.size() != poll.size() || !request.startsWith(poll.left(poll.size() - 1)))
        return -1;
    return addressOf(request.back());
}

int DeviceRules::serialTimeoutFloor(quint8 serialRate)
{
    static constexpr int floors[] = {17, 9, 5, 3, 2, 2, 2, 2};
    return serialRate < 8 ? floors[serialRate] : 3;
}

int DeviceRules::highestSustainedRate(quint8 radioRate)
{
    static constexpr int highest[] = {2, 3, 4, 5, 7};
    return radioRate < 5 ? highest[radioRate] : 0;
}

void DeviceRules::setFactorySettings(Data &data)
{
    data.subBand = 2;
    data.radioDataRate = 2;
    data.chanel = 0;
    data.power = 7;
    data.testAddress = 0;
    data.serialTimeout = 2;
    data.delayTxRx = 0;
    data.parity = 0;
    data.radioTransmitReset = 50;
    data.stopBit = 0;
    data.flowControl = 2;
    data.wdtReset = 6;
}
