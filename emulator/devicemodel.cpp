#include "devicemodel.h"

namespace {

const QByteArray ok = QByteArrayLiteral("OK\r");
const QByteArray error = QByteArrayLiteral("ERROR\r");

struct RegisterInfo
{
    int reg;
    int factory;
    int maximum;
};

// Sub-band, radio data rate and power are answered as exactly one character,
// so the module refuses values that would need two.
const RegisterInfo registerTable[] = {
    {DeviceModel::Chanel, 0, 255},
    {DeviceModel::RadioDataRate, 2, 9},
    {DeviceModel::Power, 7, 9},
    {DeviceModel::SubBand, 2, 9},
    {DeviceModel::SerialDataRate, 5, 255},
    {DeviceModel::SerialTimeout, 2, 255},
    {DeviceModel::FlowControl, 2, 255},
};

const RegisterInfo *registerInfo(int reg)
{
    for (const RegisterInfo &info : registerTable) {
        if (info.reg == reg)
            return &info;
    }
    return nullptr;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A run of decimal digits, nothing else; -1 otherwise or above `maximum`.
int decimal(const QByteArray &text, int maximum)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int value = 0;
    for (char c : text) {
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value <= maximum ? value : -1;
}

QByteArray padded(int value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

} // namespace

bool DeviceModel::Rs485Record::operator==(const Rs485Record &other) const
{
    return testAddress == other.testAddress && serialDataRate == other.serialDataRate
           && firstDelay == other.firstDelay && delayTxRx == other.delayTxRx
           && parity == other.parity && radioTransmitReset == other.radioTransmitReset
           && wdtReset == other.wdtReset && stopBit == other.stopBit;
}

DeviceModel::DeviceModel()
{
    restoreFactoryValues();
}

QByteArray DeviceModel::answer(const QByteArray &request)
{
    if (request == "+++") {
        commandMode = true;
        return ok;
    }
    if (request.startsWith("AT"))
        return commandMode ? answerAt(request) : QByteArray();
    if (request == "$1") {
        return "adr=" + QByteArray(1, char(quint8(48 + record.testAddress))) + ",spd="
               + QByteArray::number(record.serialDataRate) + ",d1=" + padded(record.firstDelay, 3)
               + ",d2=" + padded(record.delayTxRx, 3) + ",par=" + QByteArray::number(record.parity)
               + ",res=" + padded(record.radioTransmitReset, 3)
               + ",wdt=" + padded(record.wdtReset, 3) + ",bit=" + QByteArray::number(record.stopBit)
               + "\r";
    }
    if (request == "$2")
        return "firmware=" + firmwareVersion + ",pp=" + hardwareRevision + "\r";
    if (request.startsWith("$0"))
        return setRs485Text(request.mid(2)) ? ok : error;
    if (request.size() == 3 && request.startsWith("$3") && isDigit(request.at(2))) {
        link = request.at(2) - '0';
        return ok;
    }
    if (request == "XMwn\r") {
        testMode = true;
        return ok;
    }
    if (request.size() == 4 && request.startsWith("!01"))
        return answerTestPoll(request.at(3));
    return QByteArray();
}

QByteArray DeviceModel::answerAt(const QByteArray &request)
{
    if (!request.endsWith('\r'))
        return error;
    if (request == "AT\r")
        return ok;
    if (request == "ATO\r") {
        commandMode = false;
        return ok;
    }
    if (request == "ATR\r") {
        restoreFactoryValues();
        return ok;
    }
    if (request == "AT/V\r")
        return module + "\r";
    if (request.startsWith("ATS"))
        return answerRegister(request);
    return error;
}

// "ATSnnn=v\r" writes a register, "ATSnnn?\r" reads it as "Snnn=v\r".
QByteArray DeviceModel::answerRegister(const QByteArray &request)
{
    const QByteArray body = request.mid(3, request.size() - 4);
    const int equals = body.indexOf('=');
    if (equals < 0) {
        if (!body.endsWith('?'))
            return error;
        const int reg = decimal(body.left(body.size() - 1), 999);
        if (!registerInfo(reg))
            return error;
        return "S" + QByteArray::number(reg) + "=" + QByteArray::number(sRegisters.value(reg))
               + "\r";
    }
    const RegisterInfo *info = registerInfo(decimal(body.left(equals), 999));
    if (!info)
        return error;
    const int value = decimal(body.mid(equals + 1), info->maximum);
    if (value < 0)
        return error;
    if (!stuck.contains(info->reg))
        sRegisters[info->reg] = value;
    return ok;
}

QByteArray DeviceModel::answerTestPoll(char addressChar)
{
    const int address = quint8(addressChar) - 48;
    if (address < 0 || !present.contains(char(address)))
        return QByteArray();
    if (loss > 0 && int(random.bounded(100)) < loss)
        return QByteArray();
    return "TEST" + QByteArray(1, addressChar);
}

QList<int> DeviceModel::registers()
{
    QList<int> regs;
    for (const RegisterInfo &info : registerTable)
        regs.append(info.reg);
    return regs;
}

int DeviceModel::factoryValue(int reg)
{
    const RegisterInfo *info = registerInfo(reg);
    return info ? info->factory : -1;
}

bool DeviceModel::hasSRegister(int reg) const
{
    return sRegisters.contains(reg);
}

int DeviceModel::sRegister(int reg) const
{
    return sRegisters.value(reg, -1);
}

void DeviceModel::setSRegister(int reg, int value)
{
    if (registerInfo(reg))
        sRegisters[reg] = value;
}

void DeviceModel::restoreFactoryValues()
{
    for (const RegisterInfo &info : registerTable)
        sRegisters[info.reg] = info.factory;
}

QList<int> DeviceModel::stuckRegisters() const
{
    return stuck;
}

void DeviceModel::setStuckRegisters(const QList<int> &regs)
{
    stuck = regs;
}

bool DeviceModel::isCommandMode() const
{
    return commandMode;
}

void DeviceModel::setCommandMode(bool on)
{
    commandMode = on;
}

bool DeviceModel::isTestMode() const
{
    return testMode;
}

void DeviceModel::setTestMode(bool on)
{
    testMode = on;
}

DeviceModel::Rs485Record DeviceModel::rs485() const
{
    return record;
}

void DeviceModel::setRs485(const Rs485Record &value)
{
    record = value;
}

QByteArray DeviceModel::rs485Text() const
{
    return QByteArray(1, char(quint8(48 + record.testAddress))) + ","
           + QByteArray::number(record.serialDataRate) + "," + padded(record.firstDelay, 3) + ","
           + padded(record.delayTxRx, 3) + "," + QByteArray::number(record.parity) + ","
           + padded(record.radioTransmitReset, 3) + "," + padded(record.wdtReset, 3) + ","
           + QByteArray::number(record.stopBit);
}

// The address is one character of any code, ',' included, so it is taken by
// position before the rest is split at the commas.
bool DeviceModel::setRs485Text(const QByteArray &text)
{
    if (text.size() < 2 || text.at(1) != ',')
        return false;
    const QList<QByteArray> fields = text.mid(2).split(',');
    if (fields.size() != 7)
        return false;
    int values[7];
    for (int i = 0; i < 7; ++i) {
        values[i] = decimal(fields.at(i), 255);
        if (values[i] < 0)
            return false;
    }
    Rs485Record parsed;
    parsed.testAddress = quint8(quint8(text.at(0)) - 48);
    parsed.serialDataRate = values[0];
    parsed.firstDelay = values[1];
    parsed.delayTxRx = values[2];
    parsed.parity = values[3];
    parsed.radioTransmitReset = values[4];
    parsed.wdtReset = values[5];
    parsed.stopBit = values[6];
    record = parsed;
    return true;
}

int DeviceModel::linkRate() const
{
    return link;
}

void DeviceModel::setLinkRate(int rate)
{
    link = rate;
}

QByteArray DeviceModel::firmware() const
{
    return firmwareVersion;
}

void DeviceModel::setFirmware(const QByteArray &firmware)
{
    firmwareVersion = firmware;
}

QByteArray DeviceModel::hardware() const
{
    return hardwareRevision;
}

void DeviceModel::setHardware(const QByteArray &hardware)
{
    hardwareRevision = hardware;
}

QByteArray DeviceModel::moduleVersion() const
{
    return module;
}

void DeviceModel::setModuleVersion(const QByteArray &version)
{
    module = version;
}

QByteArray DeviceModel::presentAddresses() const
{
    return present;
}

void DeviceModel::setPresentAddresses(const QByteArray &addresses)
{
    present = addresses;
}

int DeviceModel::lossPercent() const
{
    return loss;
}

void DeviceModel::setLossPercent(int percent)
{
    loss = qBound(0, percent, 100);
}

void DeviceModel::setRandomSeed(quint32 seed)
{
    random.seed(seed);
}
