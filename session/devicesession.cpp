#include "devicesession.h"

#include "catalogue.h"
#include "channelplan.h"
#include "data.h"
#include "devicerules.h"
#include "sessionlog.h"
#include "settingstable.h"

DeviceSession::DeviceSession(QObject *parent, Data *record)
    : QObject(parent)
    , data(record)
    , engine(new Exchange(this, record))
{
    qRegisterMetaType<DeviceSession::Sequence>();
    connect(engine, &Exchange::sgGetSetting, this, &DeviceSession::applyAnswer);
    connect(engine, &Exchange::sgError, this, [this](const QByteArray &request) {
        if (abandonOnFailure)
            engine->clearParsers();
        else
            emit sgError(request);
    });
    connect(engine, &Exchange::sgNoAnswer, this, [this](TypeParser type, const QByteArray &request) {
        if (type != E_Test)
            missed.append(request);
    });
    connect(engine, &Exchange::sgAnswer, this, [this] { heard = true; });
    connect(engine, &Exchange::sgSent, this, [this](const QByteArray &request) {
        if (current == Sequence::Write || current == Sequence::FactoryDefaults)
            writesSent.append(request);
    });
    connect(engine, &Exchange::sgSequenceEnded, this, [this](Exchange::SequenceEnd end, const QByteArray &failed) {
        const Sequence ended = std::exchange(current, Sequence::Idle);
        // A lost line closes the port, and forgets the device with it. A
        // write given up before its read-back has read nothing to judge by.
        const bool reads = ended == Sequence::Connect || ended == Sequence::Read
            || ((ended == Sequence::Write || ended == Sequence::FactoryDefaults) && !readNow.isEmpty());
        if (reads && end != Exchange::SequenceEnd::LineLost) {
            unread.clear();
            for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
                if (!readNow.contains(setting.name))
                    unread.append(setting.name);
            }
        }
        qCDebug(lcSession) << "sequence ended" << ended << end << failed;
        emit sgSequenceEnded(ended, end, failed);
    });
    // Another device may answer on the next port, or on this one once it is
    // plugged in again.
    connect(engine, &Exchange::sgPortClosed, this, &DeviceSession::forgetDevice);
}

bool DeviceSession::isOpen() const
{
    return engine->isOpen();
}

void DeviceSession::begin(Sequence sequence)
{
    current = sequence;
    missed.clear();
    writesSent.clear();
    readNow.clear();
    heard = false;
}

void DeviceSession::forgetDevice()
{
    current = Sequence::Idle;
    lastReported.clear();
    reported.clear();
    readNow.clear();
    unread.clear();
    module.clear();
    firmwareText.clear();
    hardwareText.clear();
    moduleFirmwareText.clear();
}

bool DeviceSession::connectDevice(const QString &portName)
{
    if (engine->isOpen())
        closePort();
    forgetDevice();
    begin(Sequence::Connect);
    if (engine->openPort(portName))
        return true;
    current = Sequence::Idle;
    return false;
}

void DeviceSession::closePort()
{
    engine->closePort();
}

void DeviceSession::readAll()
{
    begin(Sequence::Read);
    engine->GetAllSettings();
}

void DeviceSession::write()
{
    begin(Sequence::Write);
    engine->startSave();
}

// The reset is tried first at the record's serial rate; the factory RS-485
// record then sets the rate the record holds from here on.
void DeviceSession::restoreDefaults()
{
    DeviceRules::setFactorySettings(*data);
    begin(Sequence::FactoryDefaults);
    engine->startDefaultWrite();
    data->serialDataRate = DeviceRules::factorySerialRate;
}

void DeviceSession::startRadioTest(const QByteArray &addresses)
{
    begin(Sequence::RadioTest);
    engine->startTest(addresses);
}

void DeviceSession::stopRadioTest()
{
    engine->stopTest();
    current = Sequence::Idle;
}

void DeviceSession::clearRadioTest()
{
    engine->clearTest();
}

QMap<QString, quint8> DeviceSession::takeReported()
{
    return std::exchange(reported, {});
}

QList<DeviceSession::Difference> DeviceSession::differences(const Data &record) const
{
    // The device's values with the record's where it reported none, so that
    // a channel's text follows the device's own radio data rate.
    Data held;
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        held.*setting.field = lastReported.value(setting.name, record.*setting.field);
    QList<Difference> out;
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        if (!lastReported.contains(setting.name) || unread.contains(setting.name))
            continue;
        if (SettingsTable::shownValue(setting, record.*setting.field)
            == SettingsTable::shownValue(setting, held.*setting.field))
            continue;
        out.append({&setting, SettingsTable::text(setting, record), SettingsTable::text(setting, held)});
    }
    return out;
}

QStringList DeviceSession::notHeld(const Data &written) const
{
    QStringList out;
    for (const Difference &difference : differences(written)) {
        out << tr("%1: wrote %2, device holds %3")
                   .arg(SettingsTable::label(*difference.setting), difference.recordText, difference.deviceText);
    }
    return out;
}

void DeviceSession::applyAnswer(TypeParser type, const QList<QByteArray> &param)
{
    qCDebug(lcSession) << "applyAnswer" << int(type) << param;
    // Every field of the answer reaches the record before it is reported.
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        if (setting.readBy != type)
            continue;
        quint8 &field = data->*setting.field;
        field = SettingsTable::answerValue(setting, param.at(setting.answerField), field);
        reported.insert(setting.name, field);
        lastReported.insert(setting.name, field);
        if (!readNow.contains(setting.name))
            readNow.append(setting.name);
    }
    switch (type) {
    case E_GetRadioDataRate:
        // The channel read next is chosen from the list of this rate.
        if (data->chanel >= ChannelPlan::chanelCount(data->radioDataRate))
            data->chanel = 0;
        break;
    case E_GetVersion:
        firmwareText = QString::fromUtf8(param.at(0).constData());
        hardwareText = QString::fromUtf8(param.at(1).constData());
        module = QString::fromLatin1(DeviceRules::radioModule);
        break;
    case E_GetModuleVersion:
        moduleFirmwareText = QString::fromUtf8(param.at(0).constData());
        break;
    default:
        break;
    }
    emit sgAnswerApplied(type, param);
}

// An S-register's read and write share the request up to '?' or '='.
const SettingsTable::Setting *DeviceSession::settingOfRequest(const QByteArray &request)
{
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        const QByteArray read = Catalogue::command(setting.readBy).request;
        if (!read.startsWith("ATS") || !read.endsWith("?\r"))
            continue;
        const QByteArray reg = read.left(read.size() - 2);
        if (request.startsWith(reg + '?') || request.startsWith(reg + '='))
            return &setting;
    }
    return nullptr;
}

// The RS-485 record ("$0") carries every setting "$1" reads; the serial rate
// also travels as the module's own rate and the link rate.
QList<const SettingsTable::Setting *> DeviceSession::sentWrites() const
{
    QList<const SettingsTable::Setting *> sent;
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        const bool serialRate = setting.field == &Data::serialDataRate;
        for (const QByteArray &request : writesSent) {
            const bool rs485 = request.startsWith("$0") && setting.readBy == E_GetRs485;
            const bool rate = serialRate && (request.startsWith("ATS210=") || request.startsWith("$3"));
            if (rs485 || rate || (request.contains('=') && settingOfRequest(request) == &setting)) {
                sent.append(&setting);
                break;
            }
        }
    }
    return sent;
}
