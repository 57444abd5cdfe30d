#include "portjob.h"

#include "clilog.h"
#include "commissioningrecord.h"
#include "data.h"
#include "exitstatus.h"
#include "portlisting.h"
#include "recordrules.h"
#include "recordvalidator.h"
#include "safefile.h"
#include "serialportname.h"
#include "settingsfile.h"
#include "settingsreport.h"
#include "settingstable.h"

#include <QDateTime>
#include <QFileInfo>

int PortJob::prepare(const CliCommandLine &commandLine, Plan *plan, const LineOutput &output)
{
    plan->commandLine = commandLine;
    if (commandLine.command == CliCommandLine::Default && !commandLine.yes) {
        output.error(tr("default restores the factory settings of the device on every port given and reads them "
                        "back; nothing was sent. Give --yes to do it."));
        return ExitRefused;
    }
    QString problem;
    if (!commandLine.recordFile.isEmpty()
        && !CommissioningRecord(commandLine.recordFile, SettingsReport::labels()).check(&problem)) {
        output.error(tr("The record could not be written to \"%1\": %2; nothing was sent.")
                         .arg(commandLine.recordFile, problem));
        return ExitFileFailed;
    }
    if (!commandLine.backupDir.isEmpty()) {
        // Found now, not once every device has been read.
        const QFileInfo folder(commandLine.backupDir);
        if (!folder.isDir() || !folder.isWritable()) {
            output.error(tr("The backup folder \"%1\" %2; nothing was sent.")
                             .arg(commandLine.backupDir, folder.isDir() ? tr("cannot be written to")
                                                                         : tr("does not exist")));
            return ExitFileFailed;
        }
    }
    if (commandLine.command != CliCommandLine::Write)
        return ExitDone;

    // The file is read and judged as "Open Settings" reads and judges it,
    // with the same words. A file without the flow-control byte leaves the
    // device's flow control as it is, as the window keeps the one it shows.
    Data record;
    bool hasFlowControl = true;
    if (!SettingsFile::load(commandLine.settingsFile, record, &problem, &hasFlowControl)) {
        output.error(RecordValidator::loadFailure(commandLine.settingsFile, problem));
        return ExitInvalidSettings;
    }
    plan->keepsFlowControl = !hasFlowControl;

    // The settings a rate governs are read at the rates the other --set
    // values give. A --set value takes the place of the file's before the
    // record is judged.
    for (const bool following : {false, true}) {
        for (const QString &set : commandLine.sets) {
            const int equals = set.indexOf(QLatin1Char('='));
            const SettingsTable::Setting *setting = SettingsTable::settingNamed(set.left(equals).trimmed());
            if (equals < 0 || !setting) {
                output.error(tr("--set %1: no setting of that name; the settings are: %2")
                                 .arg(set, SettingsReport::labels().join(QStringLiteral(", "))));
                return ExitInvalidSettings;
            }
            if ((setting->followsRate != nullptr) != following)
                continue;
            quint8 value = 0;
            if (!SettingsTable::parse(*setting, set.mid(equals + 1), record, &value, &problem)) {
                output.error(tr("--set %1: %2").arg(set, problem));
                return ExitInvalidSettings;
            }
            record.*setting->field = value;
            if (setting->field == &Data::flowControl)
                plan->keepsFlowControl = false;
        }
    }
    const QString refused = RecordValidator::describe(RecordValidator::refusals(record));
    if (!refused.isEmpty()) {
        output.error(commandLine.sets.isEmpty()
                         ? RecordValidator::loadFailure(commandLine.settingsFile, refused)
                         : tr("The settings of \"%1\" with the --set values are not written: %2")
                               .arg(commandLine.settingsFile, refused));
        return ExitInvalidSettings;
    }
    plan->recordToWrite = SettingsFile::encode(record);
    return ExitDone;
}

PortJob::PortJob(const QString &portName, const Plan &plan, bool prefixed, QObject *parent)
    : QObject(parent)
    , portName(portName)
    , plan(plan)
    , output(prefixed ? portName : QString())
    , data(new Data(this))
    , session(new DeviceSession(this, data))
{
    data->portName = portName;
    // A script has no one to ask: a failure prompt's request ends the command as "No" does.
    session->setAbandonOnFailure(true);
    connect(session, &DeviceSession::sgSequenceEnded, this,
            [this](DeviceSession::Sequence, DeviceSession::SequenceEnd end, const QByteArray &failedRequest) {
                onSequenceEnded(end, failedRequest);
            });
    connect(session, &DeviceSession::sgPortLost, this, [this](const QString &reason) {
        QString text = SerialPortName(this->portName).connectionLostText(reason);
        if (!lostDuring.isEmpty())
            text += QLatin1Char('\n')
                + tr("It was lost waiting for the answer to %1.").arg(DeviceSession::requestText(lostDuring));
        output.error(text);
        finish(appendRecord(ExitNoAnswer));
    });
    connect(session, &DeviceSession::sgPollJudged, this, &PortJob::onPollJudged);
}

void PortJob::start()
{
    qCDebug(lcCli) << "start" << portName << plan.commandLine.commandName;
    if (!session->connectDevice(portName)) {
        output.error(session->openFailureText(portName));
        finish(appendRecord(ExitPortFailed));
    }
}

void PortJob::stop()
{
    finished = true;
    session->closePort();
}

// As the window shows them: the controller's in its title, the radio
// module's in the radio panel.
SettingsReport::Identity PortJob::identity() const
{
    return {session->hardware(), session->firmware(), session->radioModule(), session->moduleFirmware()};
}

void PortJob::onSequenceEnded(DeviceSession::SequenceEnd end, const QByteArray &failedRequest)
{
    qCDebug(lcCli) << "sequence ended" << portName << end << failedRequest;
    if (finished || phase == Phase::Testing)
        return;
    // Reads that went unanswered; the engine skips them.
    QList<QByteArray> unanswered = session->unansweredReads();
    switch (end) {
    case DeviceSession::SequenceEnd::LineLost:
        // sgPortLost follows with the reason.
        lostDuring = failedRequest;
        return;
    case DeviceSession::SequenceEnd::Abandoned:
        unanswered.prepend(failedRequest);
        break;
    case DeviceSession::SequenceEnd::Completed:
        break;
    }
    if (!unanswered.isEmpty()) {
        output.error(tr("The device on %1 did not answer %2.")
                         .arg(portName, DeviceSession::requestText(unanswered.first())));
        finish(appendRecord(ExitNoAnswer));
        return;
    }
    switch (phase) {
    case Phase::Connecting:
        onConnected();
        break;
    case Phase::Writing:
    case Phase::Defaulting:
        onWritten();
        break;
    case Phase::Testing:
    case Phase::Done:
        break;
    }
}

void PortJob::onConnected()
{
    const CliCommandLine &commandLine = plan.commandLine;
    QString problem;
    switch (commandLine.command) {
    case CliCommandLine::Read:
        if (commandLine.json) {
            // One object a line, whatever the number of ports: it names its own.
            LineOutput().result(QString::fromUtf8(SettingsReport::json(portName, identity(), *data)));
        } else {
            for (const QString &line : SettingsReport::lines(*data) + SettingsReport::lines(identity()))
                output.result(line);
        }
        if (!commandLine.outputFile.isEmpty() && !saveRecord(commandLine.outputFile, &problem)) {
            output.error(tr("The settings could not be saved to \"%1\": %2").arg(commandLine.outputFile, problem));
            finish(appendRecord(ExitFileFailed));
            return;
        }
        finish(appendRecord(ExitDone));
        return;
    case CliCommandLine::Write: {
        for (const QString &line : SettingsReport::lines(identity()))
            output.result(line);
        if (!commandLine.backupDir.isEmpty()) {
            // "/dev/serial/by-id/usb-X" gives "serial_by-id_usb-X".
            QString base = portName;
            if (base.startsWith(QLatin1String("/dev/")))
                base = base.mid(5);
            base.replace(QLatin1Char('/'), QLatin1Char('_'));
            // A name taken already, by a backup made in the same second,
            // gets a number: no backup is ever replaced.
            const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
            QString fileName;
            if (!SafeFile::createNew(commandLine.backupDir, base + QLatin1Char('-') + stamp,
                                     QStringLiteral(".ryd"), SettingsFile::encode(*data), &fileName, &problem)) {
                output.error(tr("The backup could not be saved to \"%1\": %2; nothing was written.")
                                 .arg(fileName, problem));
                finish(appendRecord(ExitFileFailed));
                return;
            }
            output.result(tr("Backup: %1").arg(fileName));
        }
        Data toWrite;
        SettingsFile::decode(plan.recordToWrite, toWrite);
        if (plan.keepsFlowControl)
            toWrite.flowControl = data->flowControl;
        RecordRules::copySettings(toWrite, *data);
        phase = Phase::Writing;
        session->write();
        return;
    }
    case CliCommandLine::Default:
        phase = Phase::Defaulting;
        session->restoreDefaults();
        return;
    case CliCommandLine::Test:
        phase = Phase::Testing;
        session->startRadioTest(commandLine.addresses);
        return;
    case CliCommandLine::Ports:
        break;
    }
}

void PortJob::onWritten()
{
    if (phase == Phase::Defaulting) {
        output.result(tr("Factory settings restored; the device holds:"));
        for (const QString &line : SettingsReport::lines(*data) + SettingsReport::lines(identity()))
            output.result(line);
        finish(appendRecord(ExitDone));
        return;
    }
    // Compared with what the device reported, before any rule of the record adjusts it.
    const QMap<QString, quint8> reported = session->deviceValues();
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        data->*setting.field = reported.value(setting.name, data->*setting.field);
    const QStringList differences = session->written() ? session->notHeld(*session->written()) : QStringList();
    for (const QString &line : differences)
        output.result(line);
    const int status = differences.isEmpty() ? ExitDone : ExitNotHeld;
    if (differences.isEmpty())
        output.result(tr("Written and read back: the device holds every setting written."));
    else
        output.error(tr("The device on %1 does not hold %2 of the settings written.")
                         .arg(portName)
                         .arg(differences.size()));
    finish(appendRecord(status));
}

void PortJob::onPollJudged()
{
    // Polls are judged while testing only; a finished job is Done.
    if (phase != Phase::Testing)
        return;
    if (++judged >= plan.commandLine.polls * session->tally().size())
        finishTest();
}

void PortJob::finishTest()
{
    session->stopRadioTest();
    const DeviceSession::Tally &polls = session->tally();
    const int least = plan.commandLine.minPercent;
    int status = ExitDone;
    for (const auto &[address, counts] : polls) {
        output.result(QStringLiteral("%1 %2").arg(address).arg(counts.summary()));
        if (least < 0 ? counts.answered() == 0 : counts.answered() * 100 < least * counts.polled()) {
            output.error(
                tr("Address %1 answered %2 of %3 polls.").arg(address).arg(counts.answered()).arg(counts.polled()));
            status = ExitNotHeld;
        }
    }
    const QString csv = plan.commandLine.csvFile;
    if (!csv.isEmpty()) {
        QString problem;
        if (!SafeFile::write(csv, PollStatistics::csvReport(polls, portName), true, &problem)) {
            output.error(tr("The report could not be saved to \"%1\": %2").arg(csv, problem));
            finish(qMax(status, int(ExitFileFailed)));
            return;
        }
    }
    finish(status);
}

bool PortJob::saveRecord(const QString &fileName, QString *problem) const
{
    return SafeFile::write(fileName, SettingsFile::encode(*data), false, problem);
}

int PortJob::appendRecord(int status)
{
    const QString fileName = plan.commandLine.recordFile;
    if (fileName.isEmpty())
        return status;
    static const QHash<int, QString> results = {
        {ExitDone, QStringLiteral("done")},           {ExitRefused, QStringLiteral("refused")},
        {ExitPortFailed, QStringLiteral("no port")},  {ExitNoAnswer, QStringLiteral("no answer")},
        {ExitNotHeld, QStringLiteral("not held")},   {ExitFileFailed, QStringLiteral("file not written")},
    };
    CommissioningRecord::Line line;
    line.time = QDateTime::currentDateTimeUtc();
    line.port = portName;
    line.command = plan.commandLine.commandName;
    line.result = results.value(status);
    line.adapterSerial = PortListing::serialNumberOf(portName);
    line.unit = identity();
    if (status != ExitPortFailed && status != ExitNoAnswer)
        line.values = SettingsReport::values(*data);
    QString problem;
    if (CommissioningRecord(fileName, SettingsReport::labels()).append(line, &problem))
        return status;
    output.error(tr("The record could not be written to \"%1\": %2").arg(fileName, problem));
    return qMax(status, int(ExitFileFailed));
}

void PortJob::finish(int status)
{
    if (finished)
        return;
    finished = true;
    phase = Phase::Done;
    session->closePort();
    emit sgFinished(status);
}
