// ryd-cli: reads, writes, verifies and tests Ryd radio modems without a
// window, many ports at once, each with its own engine in one event loop.

#include "clicommandline.h"
#include "exitstatus.h"
#include "lineoutput.h"
#include "portjob.h"
#include "portlisting.h"
#include "stopsignals.h"
#include "version.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ryd-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RYD_VERSION));
    const LineOutput output;

    CliCommandLine commandLine;
    switch (commandLine.parse(QCoreApplication::arguments())) {
    case CliCommandLine::ShowHelp:
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return ExitDone;
    case CliCommandLine::ShowVersion:
        output.result(QStringLiteral("ryd-cli %1").arg(QCoreApplication::applicationVersion()));
        return ExitDone;
    case CliCommandLine::Fail:
        output.error(commandLine.problem());
        return ExitRefused;
    case CliCommandLine::Run:
        break;
    }

    if (commandLine.command == CliCommandLine::Ports) {
        const auto ports = PortListing::collect(commandLine.expandedPorts(nullptr));
        const QByteArray listing = commandLine.json ? PortListing::json(ports) : PortListing::text(ports).toLocal8Bit();
        std::fwrite(listing.constData(), 1, size_t(listing.size()), stdout);
        return ExitDone;
    }

    // What a command would send is checked before any port is opened.
    PortJob::Plan plan;
    const int planned = PortJob::prepare(commandLine, &plan, output);
    if (planned != ExitDone)
        return planned;

    int worst = ExitDone;
    QStringList unmatched;
    const QStringList ports = commandLine.expandedPorts(&unmatched);
    for (const QString &pattern : qAsConst(unmatched)) {
        output.error(QCoreApplication::translate("main", "No port matches %1.").arg(pattern));
        worst = ExitPortFailed;
    }
    if ((!commandLine.outputFile.isEmpty() || !commandLine.csvFile.isEmpty()) && ports.size() > 1) {
        output.error(QCoreApplication::translate("main", "--output and --csv take one port, not %1.")
                         .arg(ports.size()));
        return ExitRefused;
    }
    if (ports.isEmpty())
        return worst;

    StopSignals stopSignals;
    if (!stopSignals.watch()) {
        output.error(QCoreApplication::translate("main", "Cannot watch for SIGINT and SIGTERM."));
        return ExitRefused;
    }
    QList<PortJob *> jobs;
    int running = 0;
    for (const QString &port : ports) {
        auto *job = new PortJob(port, plan, ports.size() > 1, &app);
        jobs << job;
        ++running;
        QObject::connect(job, &PortJob::sgFinished, &app, [&worst, &running](int status) {
            worst = qMax(worst, status);
            if (--running == 0)
                QCoreApplication::exit(0);
        });
    }
    // Each job closes its port; the process ends without waiting for the rest.
    QObject::connect(&stopSignals, &StopSignals::sgStop, &app, [&jobs] {
        for (PortJob *job : qAsConst(jobs))
            job->stop();
        QCoreApplication::exit(ExitStopped);
    });
    for (PortJob *job : qAsConst(jobs))
        QMetaObject::invokeMethod(job, &PortJob::start, Qt::QueuedConnection);
    const int loop = app.exec();
    return loop == ExitStopped ? ExitStopped : worst;
}
