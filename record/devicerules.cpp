#include "devicerules.h"

#include <QString>

namespace DeviceRules {

QChar addressChar(quint8 address)
{
    return QChar(ushort((48 + address) % 256));
}

quint8 addressOf(char addressChar)
{
    return quint8(quint8(addressChar) - 48);
}

QByteArray pollRequest(quint8 address)
{
    return (QStringLiteral("!01") + addressChar(address)).toUtf8();
}

QByteArray pollAnswer(quint8 address)
{
    return (QStringLiteral("TEST") + addressChar(address)).toUtf8();
}

int serialTimeoutFloor(quint8 serialRate)
{
    static constexpr int floors[] = {17, 9, 5, 3, 2, 2, 2, 2};
    return serialRate < 8 ? floors[serialRate] : 3;
}

} // namespace DeviceRules
