#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// The command line of ryd-cli: one command, its options and the ports it is
// for. Everything a command needs is checked here, before any port is opened.
class CliCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CliCommandLine)

public:
    enum Command { Ports, Read, Write, Default, Test };
    enum Outcome { Run, ShowHelp, ShowVersion, Fail };

    // Rounds of the radio test when --polls is not given.
    static constexpr int defaultPolls = 10;

    Outcome parse(const QStringList &arguments);
    QString helpText() const;
    // Why parse() failed, in one line.
    QString problem() const { return failure; }

    // The --port values with every glob replaced by the paths it matches, in
    // order, each device once. `unmatched` gets the globs that match nothing.
    QStringList expandedPorts(QStringList *unmatched) const;

    Command command = Ports;
    QString commandName;
    QStringList portPatterns;
    bool json = false;
    bool yes = false;
    QString settingsFile;
    QStringList sets;
    QString outputFile;
    QString backupDir;
    QString csvFile;
    QString recordFile;
    QByteArray addresses;
    int polls = defaultPolls;
    // The least percentage of its polls each tested address must answer;
    // -1 for at least one.
    int minPercent = -1;

private:
    void describe(QCommandLineParser &parser) const;
    Outcome refuse(const QString &text);

    QString failure;
};
