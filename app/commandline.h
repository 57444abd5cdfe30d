#pragma once

#include <QCommandLineParser>
#include <QStringList>

// The program's options: --help, --version and --port PATH (repeatable), for
// serial devices the system's port list does not show.
class CommandLine
{
public:
    enum Outcome { Run, ShowHelp, ShowVersion, Fail };

    CommandLine();

    Outcome parse(const QStringList &arguments);

    // Paths given with --port that exist, in the order given.
    QStringList ports() const { return existingPorts; }
    // What the operator should read on standard error: a failed parse, or
    // --port paths that do not exist.
    QStringList messages() const { return problems; }
    QString helpText() const { return parser.helpText(); }

private:
    QCommandLineParser parser;
    QCommandLineOption portOption;
    QStringList existingPorts;
    QStringList problems;
};
