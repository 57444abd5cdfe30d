#include "portjob.h"

#include "clilog.h"
#include "data.h"
#include "exchange.h"
#include "exitstatus.h"
#include "serialdevice.h"

#include <QSerialPort>

int PortJob::prepare(const CliCommandLine &commandLine, Plan *plan, const LineOutput &output)
{
    plan->commandLine = commandLine;
    if (commandLine.command == CliCommandLine::Default && !commandLine.yes) {
        output.error(tr("default restores the factory settings of the device on every port given and reads them "
                        "back; nothing was sent. Give --yes to do it."));
        return ExitRefused;
    }
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
