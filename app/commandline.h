#pragma once

#include <QCommandLineOption>
#include <QCoreApplication>
#include <QStringList>

class QCommandLineParser;

// The program's command line: --help, --version, --port PATH (repeatable) for
// serial devices the system's port list does not show, --language ru|en
// against the system's locale, at most one settings file to open at start,
// and the options Qt itself takes (-platform, -style, -reverse, ...).
//
// It is read twice. Before the application object exists, so that help,
// version and a refusal need no window system, Qt's options are recognised by
// name and set aside. Once QApplication has taken out the options it used,
// what it left is read again, and an option Qt did not use is refused.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    enum Outcome { Run, ShowHelp, ShowVersion, Fail };
    enum Stage { BeforeApplication, AfterApplication };

    CommandLine();

    Outcome parse(const QStringList &arguments, Stage stage);

    // Paths given with --port, in the order given, whether they exist yet or
    // not.
    QStringList ports() const { return givenPorts; }
    // "ru" or "en" as given with --language; empty when not given.
    QString language() const { return chosenLanguage; }
    // The settings file to open at start; empty when none was given.
    QString settingsFile() const { return fileToOpen; }
    // Qt's -style option was given (known from the first reading): the
    // program's own style must not override the operator's.
    bool styleChosen() const { return styleGiven; }
    // What the operator should read on standard error: why the command line
    // was refused (one line), or --port paths that do not exist yet.
    QStringList messages() const { return problems; }
    // The usage text. Needs an application object: the parser names the
    // program from its arguments.
    QString helpText() const;

private:
    void describe(QCommandLineParser &parser) const;

    QCommandLineOption portOption;
    QCommandLineOption languageOption;
    QStringList givenPorts;
    QString chosenLanguage;
    QString fileToOpen;
    bool styleGiven = false;
    QStringList problems;
};
