#include "clicommandline.h"

#include "serialportname.h"

#include <QCommandLineParser>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <glob.h>
#elif defined(Q_OS_WIN)
#include <QRegularExpression>
#include <QSerialPortInfo>
#endif

namespace {

struct CommandInfo
{
    const char *name;
    CliCommandLine::Command command;
    // The options the command takes, besides --port and --help.
    QStringList options;
};

const QList<CommandInfo> &commands()
{
    static const QList<CommandInfo> list = {
        {"ports", CliCommandLine::Ports, {"json"}},
        {"read", CliCommandLine::Read, {"json", "output", "record"}},
        {"write", CliCommandLine::Write, {"set", "backup", "record"}},
        {"default", CliCommandLine::Default, {"yes", "record"}},
        {"test", CliCommandLine::Test, {"address", "polls", "min-percent", "csv"}},
    };
    return list;
}

const char *const valueOptions[][3] = {
    {"port", "path", "A serial port, or a glob of them ('/dev/serial/by-id/usb-*'); repeatable."},
    {"output", "file.ryd", "read: also save what the device holds as a settings file."},
    {"set", "Label=value", "write: override one setting of the file; repeatable."},
    {"backup", "dir", "write: save what the device held into <dir> before writing."},
    {"address", "list", "test: the remote addresses to poll, such as 1,2,5."},
    {"polls", "n", "test: rounds of polls (default 10)."},
    {"min-percent", "p", "test: the least share of polls each address must answer (default: any)."},
    {"csv", "file.csv", "test: save the report as \"Save Report\" does."},
    {"record", "file.csv", "read, write, default: append one line per device to a commissioning record."},
};

const char *const switchOptions[][2] = {
    {"json", "ports, read: print JSON."},
    {"yes", "default: restore the factory settings without asking."},
};

bool hasWildcard(const QString &pattern)
{
    return pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'))
           || pattern.contains(QLatin1Char('['));
}

QStringList globMatches(const QString &pattern)
{
    QStringList paths;
#ifdef Q_OS_UNIX
    glob_t found = {};
    if (::glob(QFile::encodeName(pattern).constData(), 0, nullptr, &found) == 0) {
        for (size_t i = 0; i < found.gl_pathc; ++i)
            paths << QFile::decodeName(found.gl_pathv[i]);
    }
    ::globfree(&found);
#elif defined(Q_OS_WIN)
    // A COM name has no file to match: the glob ('COM*') is matched against
    // the ports the system lists, without regard to case, in their order.
    const QRegularExpression glob(QRegularExpression::wildcardToRegularExpression(pattern),
                                  QRegularExpression::CaseInsensitiveOption);
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        if (glob.match(port.portName()).hasMatch())
            paths << port.portName();
    }
#else
    Q_UNUSED(pattern)
#endif
    return paths;
}

} // namespace

void CliCommandLine::describe(QCommandLineParser &parser) const
{
    parser.setApplicationDescription(tr(
        "Reads, writes, verifies and tests Ryd radio modems without a window, many ports at once.\n"
        "\n"
        "Commands:\n"
        "  ports [--json]                       list the serial ports\n"
        "  read --port P [--json] [--output F]  read every setting, as \"Connect\" does\n"
        "  write --port P FILE.ryd [--set \"Label=value\"]... [--backup DIR]\n"
        "                                       write a settings file, read it back and compare\n"
        "  default --port P --yes               restore the factory settings, as \"DEFAULT\" does\n"
        "  test --port P --address 1,2,5 [--polls N] [--min-percent P] [--csv F]\n"
        "                                       radio stability check of remote addresses\n"
        "\n"
        "Exit status:\n"
        "  0 done; 1 usage error or refused; 2 the port cannot be opened;\n"
        "  3 the device did not answer or the line was lost; 4 the device does not hold\n"
        "  what was written, or a tested address answered too few polls; 5 a settings\n"
        "  file or --set value is invalid; 6 a file could not be written (--output, --csv,\n"
        "  --backup, --record; a backup that fails sends nothing); 130 stopped by SIGINT\n"
        "  or SIGTERM. With several ports, the worst of them."));
    parser.addHelpOption();
    parser.addVersionOption();
    for (const auto &option : valueOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(option[0]), tr(option[2]),
                                            QString::fromLatin1(option[1])));
    for (const auto &option : switchOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(option[0]), tr(option[1])));
    parser.addPositionalArgument(QStringLiteral("command"), tr("ports, read, write, default or test."));
}

QString CliCommandLine::helpText() const
{
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText();
}

CliCommandLine::Outcome CliCommandLine::refuse(const QString &text)
{
    failure = text + QLatin1Char(' ') + tr("Try --help.");
    return Fail;
}

CliCommandLine::Outcome CliCommandLine::parse(const QStringList &arguments)
{
    failure.clear();
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return ShowHelp;
    if (parser.isSet(QStringLiteral("version")))
        return ShowVersion;

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return refuse(tr("No command given."));
    commandName = positional.takeFirst();
    const CommandInfo *info = nullptr;
    for (const CommandInfo &candidate : commands()) {
        if (commandName == QLatin1String(candidate.name))
            info = &candidate;
    }
    if (!info)
        return refuse(tr("Unknown command: %1.").arg(commandName));
    command = info->command;

    const QStringList given = parser.optionNames();
    for (const QString &name : given) {
        if (name != QLatin1String("port") && !info->options.contains(name))
            return refuse(tr("%1 does not take --%2.").arg(commandName, name));
    }
    portPatterns = parser.values(QStringLiteral("port"));
    if (command != Ports && portPatterns.isEmpty())
        return refuse(tr("%1 needs --port.").arg(commandName));

    if (command == Write) {
        if (positional.size() != 1)
            return refuse(tr("write takes one settings file."));
        settingsFile = positional.takeFirst();
    }
    if (!positional.isEmpty())
        return refuse(tr("Unexpected argument: %1.").arg(positional.first()));

    json = parser.isSet(QStringLiteral("json"));
    yes = parser.isSet(QStringLiteral("yes"));
    sets = parser.values(QStringLiteral("set"));
    outputFile = parser.value(QStringLiteral("output"));
    backupDir = parser.value(QStringLiteral("backup"));
    csvFile = parser.value(QStringLiteral("csv"));
    recordFile = parser.value(QStringLiteral("record"));

    if (command == Test) {
        if (!parser.isSet(QStringLiteral("address")))
            return refuse(tr("test needs --address."));
        addresses.clear();
        const QStringList items = parser.value(QStringLiteral("address")).split(QLatin1Char(','));
        for (const QString &item : items) {
            bool ok = false;
            const int address = item.trimmed().toInt(&ok);
            if (!ok || address < 0 || address > 63)
                return refuse(tr("--address: %1 is not an address 0 to 63.").arg(item));
            // An address given twice is polled once a round and reported once.
            if (!addresses.contains(char(address)))
                addresses.append(char(address));
        }
        if (addresses.size() > 10)
            return refuse(tr("--address: at most ten addresses."));
        polls = defaultPolls;
        if (parser.isSet(QStringLiteral("polls"))) {
            bool ok = false;
            polls = parser.value(QStringLiteral("polls")).toInt(&ok);
            if (!ok || polls < 1)
                return refuse(tr("--polls: %1 is not a number of rounds.").arg(parser.value(QStringLiteral("polls"))));
        }
        minPercent = -1;
        if (parser.isSet(QStringLiteral("min-percent"))) {
            bool ok = false;
            minPercent = parser.value(QStringLiteral("min-percent")).toInt(&ok);
            if (!ok || minPercent < 0 || minPercent > 100)
                return refuse(tr("--min-percent: %1 is not a percentage 0 to 100.")
                                  .arg(parser.value(QStringLiteral("min-percent"))));
        }
    }
    return Run;
}

QStringList CliCommandLine::expandedPorts(QStringList *unmatched) const
{
    QStringList paths;
    for (const QString &pattern : portPatterns) {
        QStringList matches{pattern};
        if (hasWildcard(pattern) && !QFileInfo::exists(pattern)) {
            matches = globMatches(pattern);
            if (matches.isEmpty() && unmatched)
                unmatched->append(pattern);
        }
        // Two names of one device would put two engines on one line.
        for (const QString &path : qAsConst(matches)) {
            bool known = false;
            for (const QString &other : qAsConst(paths))
                known = known || SerialPortName(path).isSameAs(SerialPortName(other));
            if (!known)
                paths << path;
        }
    }
    return paths;
}
