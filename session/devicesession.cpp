#include "devicesession.h"

#include "catalogue.h"
#include "data.h"
#include "devicerules.h"
#include "recordrules.h"
#include "sessionlog.h"
#include "settingstable.h"
#include "trafficlog.h"

#include <QRegularExpression>

#include <algorithm>

DeviceSession::DeviceSession(QObject *parent, Data *record)
    : QObject(parent)
    , data(record)
    , engine(new Exchange(this, record))
{
    qRegisterMetaType<DeviceSession::Sequence>();
    connect(engine, &Exchange::sgGetSetting, this, &DeviceSession::applyAnswer);
    connect(engine, &Exchange::sgError, this, [this](const QByteArray &request) {
        if (abandonOnFailure)
            abandon();
        else
            emit sgError(request);
    });
    connect(engine, &Exchange::sgNoAnswer, this, [this](TypeParser type, const QByteArray &request) {
        if (type != E_Test)
            missed.append({type, request});
    });
    connect(engine, &Exchange::sgAnswer, this,
            [this](TypeParser type, const QByteArray &request, const QByteArray &, int roundTripMs) {
                heard = true;
                if (type == E_Test)
                    roundTrips.insert(request, roundTripMs);
            });
    connect(engine, &Exchange::sgRequest, this, &DeviceSession::sgRequest);
    connect(engine, &Exchange::sgOk, this, [this](quint8, TypeParser type, const QByteArray &request) {
        if (type == E_Test)
            judgePoll(request, true);
    });
    connect(engine, &Exchange::sgTimeOut, this, [this](quint8, TypeParser type, const QByteArray &request) {
        if (type == E_Test)
            judgePoll(request, false);
    });
    connect(engine, &Exchange::sgSetProgres, this, &DeviceSession::sgProgress);
    connect(engine, &Exchange::sgPortLost, this, &DeviceSession::sgPortLost);
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
        const bool writes = ended == Sequence::Write || ended == Sequence::FactoryDefaults;
        if (!writes || end != Exchange::SequenceEnd::Completed)
            writtenRecord.reset();
        if (end != Exchange::SequenceEnd::LineLost)
            judgeAnswers();
        qCDebug(lcSession) << "sequence ended" << ended << end << failed;
        emit sgSequenceEnded(ended, end, failed);
    });
    // Another device may answer on the next port, or on this one once it is
    // plugged in again.
    connect(engine, &Exchange::sgPortClosed, this, &DeviceSession::forgetDevice);
}

DeviceSession::~DeviceSession() = default;

bool DeviceSession::isOpen() const
{
    return engine->isOpen();
}

void DeviceSession::logTraffic(TrafficLog *log) const
{
    log->follow(engine);
}

QString DeviceSession::portErrorString() const
{
    return engine->portErrorString();
}

QString DeviceSession::openFailureText(const QString &portName) const
{
    return engine->openFailureText(portName);
}

void DeviceSession::abandon()
{
    engine->clearParsers();
}

void DeviceSession::begin(Sequence sequence)
{
    current = sequence;
    missed.clear();
    writesSent.clear();
    readNow.clear();
    kept.clear();
    writtenRecord.reset();
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
    keepWritten();
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
    keepWritten();
}

// What the record holds now is what the write sends, to be compared with the
// read-back.
void DeviceSession::keepWritten()
{
    writtenRecord = std::make_unique<Data>();
    RecordRules::copySettings(*data, *writtenRecord);
}

void DeviceSession::startRadioTest(const QByteArray &addresses)
{
    begin(Sequence::RadioTest);
    for (const char address : addresses) {
        const bool known = std::any_of(polls.cbegin(), polls.cend(),
                                       [address](const auto &entry) { return entry.first == quint8(address); });
        if (!known)
            polls.append({quint8(address), PollStatistics()});
    }
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
    polls.clear();
    roundTrips.clear();
}

void DeviceSession::judgePoll(const QByteArray &request, bool answered)
{
    const int address = DeviceRules::polledAddress(request);
    if (address < 0)
        return;
    const int roundTripMs = answered ? roundTrips.value(request, -1) : -1;
    roundTrips.remove(request);
    for (auto &entry : polls) {
        if (entry.first != address)
            continue;
        if (answered)
            entry.second.addAnswered(roundTripMs);
        else
            entry.second.addUnanswered();
        break;
    }
    emit sgPollJudged(quint8(address), answered, roundTripMs);
}

// The answers are judged with the floor and the channel list of the
// device's own rates, where it reported them; otherwise the record's rates
// govern, the operator's unwritten choice among them. A value the rules do
// not allow stays as the device reported it: a setting of a list that has
// no entry for it, or one reported at the device's own rates.
void DeviceSession::judgeAnswers()
{
    const QMap<QString, quint8> answers = takeReported();
    if (answers.isEmpty())
        return;
    QStringList held;
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        const bool atOwnRate =
            !setting.followsRate || answers.contains(SettingsTable::settingOf(setting.followsRate).name);
        if (answers.contains(setting.name) && (atOwnRate || setting.listed))
            held.append(setting.name);
    }
    RecordRules::constrain(*data, held);
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        if (answers.contains(setting.name) && !SettingsTable::offers(setting, data->*setting.field, *data))
            kept.append(&setting);
    }
}

QList<QByteArray> DeviceSession::unanswered() const
{
    QList<QByteArray> requests;
    for (const auto &request : missed)
        requests.append(request.second);
    return requests;
}

QList<QByteArray> DeviceSession::unansweredReads() const
{
    QList<QByteArray> requests;
    for (const auto &request : missed) {
        const QList<SettingsTable::Setting> &table = SettingsTable::settings();
        const bool readsSetting = std::any_of(table.cbegin(), table.cend(),
                                              [&request](const auto &setting) { return setting.readBy == request.first; });
        if (readsSetting || request.first == E_GetVersion || request.first == E_GetModuleVersion)
            requests.append(request.second);
    }
    return requests;
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
        RecordRules::offerChannel(*data);
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

QString DeviceSession::requestText(const QByteArray &request)
{
    if (const SettingsTable::Setting *setting = settingOfRequest(request)) {
        return (request.contains('=') ? tr("the write of \"%1\"") : tr("the read of \"%1\""))
            .arg(SettingsTable::label(*setting));
    }
    const QList<QPair<QByteArray, QString>> named{
        {Catalogue::command(E_GetModuleVersion).request, tr("the request for the radio module's version")},
        {Catalogue::command(E_GetVersion).request, tr("the request for the controller's version")},
        {Catalogue::command(E_GetRs485).request, tr("the read of the RS-485 settings")},
        {"$0", tr("the write of the RS-485 settings")},
    };
    for (const auto &[start, text] : named) {
        if (request.startsWith(start))
            return text;
    }
    return QLatin1Char('"') + withoutControls(request) + QLatin1Char('"');
}

QString DeviceSession::withoutControls(const QByteArray &request)
{
    QString text = QString::fromLocal8Bit(request.constData());
    text.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
    return text;
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
