#include "portjob.h"

#include "clilog.h"
#include "data.h"
#include "exchange.h"
#include "exitstatus.h"
#include "serialdevice.h"
#include "settingsfile.h"
#include "settingsreport.h"
#include "settingstable.h"

#include <QFile>

#include <QSerialPort>

namespace {

// A settings file is a few dozen bytes; a huge file given by mistake is not read whole.
constexpr qint64 readLimit = 1 << 20;

} // namespace

int PortJob::prepare(const CliCommandLine &commandLine, Plan *plan, const LineOutput &output)
{
    plan->commandLine = commandLine;
    if (commandLine.command == CliCommandLine::Default && !commandLine.yes) {
        output.error(tr("default restores the factory settings of the device on every port given and reads them "
                        "back; nothing was sent. Give --yes to do it."));
        return ExitRefused;
    }
    if (commandLine.command != CliCommandLine::Write)
        return ExitDone;

    // The file is read as "Open Settings" reads it.
    QString problem;
    Data record;
    QFile file(commandLine.settingsFile);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
    } else {
        const QByteArray bytes = file.read(readLimit);
        if (file.error() != QFileDevice::NoError)
            problem = file.errorString();
        else
            SettingsFile::decode(bytes, record, &problem);
    }
    if (!problem.isEmpty()) {
        output.error(tr("The settings could not be loaded from \"%1\": %2").arg(commandLine.settingsFile, problem));
        return ExitInvalidSettings;
    }

    // The settings a rate governs are read at the rates the other --set
    // values give.
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
        }
    }
    problem = SettingsReport::refusal(record);
    if (!problem.isEmpty()) {
        output.error(tr("The settings of \"%1\" are not written: %2").arg(commandLine.settingsFile, problem));
        return ExitInvalidSettings;
    }
    // The window writes what its controls show: flow control as one of its two entries.
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        record.*setting.field = SettingsTable::recordValue(setting, SettingsTable::shownValue(setting, record.*setting.field));
    plan->recordToWrite = SettingsFile::encode(record);
    return ExitDone;
}

PortJob::PortJob(const QString &portName, const Plan &plan, bool prefixed, QObject *parent)
    : QObject(parent)
    , portName(portName)
    , plan(plan)
    , output(prefixed ? portName : QString())
    , data(new Data(this))
    , exchange(new Exchange(this, data))
{
}

void PortJob::start()
{
    qCDebug(lcCli) << "start" << portName << plan.commandLine.commandName;
    if (!exchange->openPort(portName)) {
        const QSerialPort *port = exchange->serialPort();
        output.error(SerialDevice(portName).openFailureText(port->error(), port->errorString()));
        finish(ExitPortFailed);
        return;
    }
}

void PortJob::stop()
{
    finished = true;
    if (exchange->isOpen())
        exchange->serialPort()->close();
}

void PortJob::finish(int status)
{
    if (finished)
        return;
    finished = true;
    if (exchange->isOpen())
        exchange->serialPort()->close();
    emit sgFinished(status);
}
