#pragma once

#include "clicommandline.h"
#include "devicesession.h"
#include "lineoutput.h"
#include "settingsreport.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class Data;

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
        // The file has no flow-control byte and no --set gives one: the
        // device's own is written back.
        bool keepsFlowControl = false;
    };

    // Checks what the command would do before any port is opened: the
    // settings file and every --set of write, the --yes of default. ExitDone
    // with `plan` filled, or the exit status of the refusal, said on `output`.
    static int prepare(const CliCommandLine &commandLine, Plan *plan, const LineOutput &output);

    PortJob(const QString &portName, const Plan &plan, bool prefixed, QObject *parent = nullptr);

    // Connects as "Connect" does and goes on with the command.
    void start();
    // Closes the port at once; sgFinished does not follow.
    void stop();

signals:
    void sgFinished(int status);

private:
    // What the port is doing; each sequence's end moves it on.
    enum class Phase { Connecting, Writing, Defaulting, Testing, Done };

    void onSequenceEnded(DeviceSession::SequenceEnd end, const QByteArray &failedRequest);
    SettingsReport::Identity identity() const;
    void onConnected();
    void onWritten();
    void onPollJudged();
    void finishTest();
    bool saveRecord(const QString &fileName, QString *problem) const;
    // Adds the device's line to the commissioning record, when one is kept,
    // and returns the status to finish with: ExitFileFailed, or worse, when
    // the line could not be written.
    int appendRecord(int status);
    void finish(int status);

    QString portName;
    Plan plan;
    LineOutput output;
    Phase phase = Phase::Connecting;
    Data *data = nullptr;
    DeviceSession *session = nullptr;
    // The request running when the line was lost.
    QByteArray lostDuring;
    // The radio test's polls judged so far.
    int judged = 0;
    bool finished = false;
};
