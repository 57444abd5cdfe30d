#pragma once

#include "clicommandline.h"
#include "lineoutput.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class Data;
class Exchange;

// One command on one port: its own record and engine, so that any number of
// ports run side by side in one event loop. Results go to standard output,
// errors to standard error, both prefixed by the port when several are
// served; sgFinished carries the port's exit status.
class PortJob : public QObject
{
    Q_OBJECT

public:
    // The command line, and for write the settings file's record with every
    // --set applied, as settings-file bytes. Shared by all ports.
    struct Plan
    {
        CliCommandLine commandLine;
        QByteArray recordToWrite;
    };

    // Checks what the command would do before any port is opened: the
    // settings file and every --set of write, the --yes of default. ExitDone
    // with `plan` filled, or the exit status of the refusal, said on `output`.
    static int prepare(const CliCommandLine &commandLine, Plan *plan, const LineOutput &output);

    PortJob(const QString &portName, const Plan &plan, bool prefixed, QObject *parent = nullptr);

    void start();
    // Closes the port at once; sgFinished does not follow.
    void stop();

signals:
    void sgFinished(int status);

private:
    void finish(int status);

    QString portName;
    Plan plan;
    LineOutput output;
    Data *data = nullptr;
    Exchange *exchange = nullptr;
    bool finished = false;
};
