// What each sequence sends, in the order it is sent: reading everything,
// writing, factory defaults and the radio test. The engine that runs the queue
// is exchange.cpp.
#include "exchange.h"

#include "data.h"
#include "devicerules.h"
#include "exchangelog.h"
#include "parser.h"

#include <QStringList>

void Exchange::GetAllSettings()
{
    qCDebug(lcExchange) << "GetAllSettings";
    addParser(E_CommandMode, QString());
    addParser(E_GetModuleVersion, QString());
    addParser(E_GetFlowControl, QString());
    addParser(E_GetSubBand, QString());
    addParser(E_GetRadioDataRate, QString());
    addParser(E_GetChanel, QString());
    addParser(E_GetSerialTimeout, QString());
    addParser(E_GetPower, QString());
    addParser(E_OnlineMode, QString());
    addParser(E_GetRs485, QString());
    start(true);
}

void Exchange::startSave()
{
    // The debug log marks each stage of the write with this line and its source line.
    qCDebug(lcExchange) << "startSave" << __LINE__;
    clearParsers();
    const QString serialRate = QString::number(data->serialDataRate + 1);
    addParser(E_CommandMode, QString());
    addParser(E_SetSerialDataRate, serialRate);
    addParser(E_SetLinkRate, serialRate);
    qCDebug(lcExchange) << "startSave" << __LINE__;
    addParser(E_SetRs485, rs485Record(data->serialDataRate));
    addRegisterWrites();
    qCDebug(lcExchange) << "startSave" << __LINE__;
    GetAllSettings();
}

// The RS-485 record in the field order of the device's "$1" answer.
QString Exchange::rs485Record(quint8 serialRate) const
{
    const auto padded = [](quint8 value, int width) {
        return QStringLiteral("%1").arg(uint(value), width, 10, QLatin1Char('0'));
    };
    return QStringList{
        QString(DeviceRules::addressChar(data->testAddress)),
        QString::number(serialRate),
        QStringLiteral("000"),
        padded(data->delayTxRx, 3),
        padded(data->parity, 1),
        padded(data->radioTransmitReset, 3),
        padded(data->wdtReset, 3),
        padded(data->stopBit, 1),
    }.join(QLatin1Char(','));
}

// The radio module's register writes from the record, then back to online
// mode: the common end of the write and factory-default sequences.
void Exchange::addRegisterWrites()
{
    addParser(E_SetSubBand, QString::number(data->subBand));
    addParser(E_SetRadioDataRate, QString::number(data->radioDataRate));
    addParser(E_SetChanel, QString::number(data->chanel));
    addParser(E_SetPower, QString::number(data->power));
    addParser(E_SetSerialTimeout, QString::number(data->serialTimeout));
    addParser(E_SetFlowControl, QString::number(data->flowControl));
    addParser(E_OnlineMode, QString());
}

void Exchange::startDefaultWrite()
{
    qCDebug(lcExchange) << "startDefaultWrite";
    clearParsers();
    // The link between controller and radio module may run at any rate: try
    // the current one first, then every rate until one reset is answered.
    addParser(E_SetLinkRate, QString::number(data->serialDataRate));
    addParser(E_CommandMode, QString());
    addParser(E_RestoreDefaults, QString());
    for (int rate = 0; rate <= 7; ++rate) {
        addParser(E_SetLinkRate, QString::number(rate));
        addParser(E_CommandMode, QString());
        addParser(E_RestoreDefaults, QString());
    }
    addParser(E_SetRs485, rs485Record(DeviceRules::factorySerialRate));
    addRegisterWrites();
    GetAllSettings();
}

void Exchange::startTest(const QByteArray &adreses)
{
    qCDebug(lcExchange) << "startTest" << adreses.toHex();
    clearParsers();
    testAdreses = adreses;
    if (testIndex >= testAdreses.size())
        testIndex = 0;
    // With no address there is nothing to poll.
    if (testAdreses.isEmpty())
        return;
    addParser(E_TestMode, QString());
    addParser(E_Test, QString());
    parsers.first()->start();
}

void Exchange::clearTest()
{
    qCDebug(lcExchange) << "clearTest";
    const int poll = parsers.indexOf(findTestPoll());
    if (poll == 0) {
        // The poll under way ends uncounted. The next is the list's first
        // address, unless that is the one under way: no address is polled
        // twice in a row.
        testUnreported = true;
        if (testIndex != 0)
            testIndex = quint8(testAdreses.size() - 1);
        return;
    }
    testIndex = 0;
    // Behind the test mode command, the first poll is not sent yet.
    if (poll > 0) {
        parsers.at(poll)->setRequest(getTestRequest(testIndex));
        parsers.at(poll)->setAnswer(testAnswer(testIndex));
    }
}

void Exchange::stopTest()
{
    if (!parsers.isEmpty() && parsers.first()->type() == E_Test) {
        testStopping = true;
        return;
    }
    clearParsers();
}

QByteArray Exchange::getTestRequest(quint8 index) const
{
    return index < testAdreses.size() ? DeviceRules::pollRequest(quint8(testAdreses.at(index))) : QByteArray();
}

QByteArray Exchange::testAnswer(quint8 index) const
{
    return index < testAdreses.size() ? DeviceRules::pollAnswer(quint8(testAdreses.at(index))) : QByteArray("TEST");
}
