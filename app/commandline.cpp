#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {

struct QtOption
{
    const char *name;
    bool takesValue;
};

// What QApplication and its platform plugins take out of the command line in
// Qt 5.15 on any platform; -display, -name, -visual, -geometry, -title, -icon,
// -nograb and -dograb are the X11 ones. Qt also takes each with two dashes,
// and -style and -stylesheet as -style=value. Only the first reading knows
// them: what the running Qt does not use is still in the arguments it leaves,
// and is refused by the second reading.
const QtOption qtOptions[] = {
    {"platform", true},        {"platformpluginpath", true}, {"platformtheme", true},
    {"plugin", true},          {"qwindowgeometry", true},    {"qwindowtitle", true},
    {"qwindowicon", true},     {"style", true},              {"stylesheet", true},
    {"session", true},         {"qmljsdebugger", true},      {"reverse", false},
    {"widgetcount", false},    {"testability", false},       {"qdevel", false},
    {"qdebug", false},         {"display", true},            {"name", true},
    {"visual", true},          {"geometry", true},           {"title", true},
    {"icon", true},            {"nograb", false},            {"dograb", false},
};

} // namespace

CommandLine::CommandLine()
    : portOption(QStringLiteral("port"),
                 tr("Offer the serial device at <path> in the port list and select it; "
                    "may be given more than once."),
                 QStringLiteral("path"))
    , languageOption(QStringLiteral("language"),
                     tr("The language of the window: ru (Russian) or en (English). Without it the window "
                        "follows the system's locale."),
                     QStringLiteral("ru|en"))
{
}

void CommandLine::describe(QCommandLineParser &parser) const
{
    parser.setApplicationDescription(
        tr("Configurator of the Ryd RS-485 / 868 MHz radio modem.\n"
           "Qt's own options (-platform, -style, -stylesheet, -reverse, ...) are accepted too."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(portOption);
    parser.addOption(languageOption);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 tr("A settings file (*.ryd) to open at start, as \"Open Settings\" does."),
                                 QStringLiteral("[file]"));
    // Qt's options are words after a single dash; read that way, -h is still
    // the help option.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
}

CommandLine::Outcome CommandLine::parse(const QStringList &arguments, Stage stage)
{
    givenPorts.clear();
    fileToOpen.clear();
    chosenLanguage.clear();
    problems.clear();
    QCommandLineParser parser;
    describe(parser);
    if (stage == BeforeApplication) {
        styleGiven = false;
        for (const QtOption &qt : qtOptions) {
            QCommandLineOption option(QString::fromLatin1(qt.name));
            if (qt.takesValue)
                option.setValueName(QStringLiteral("value"));
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    }

    if (!parser.parse(arguments)) {
        problems << tr("%1 Try --help.").arg(parser.errorText());
        return Fail;
    }
    // Read first: the help is given in the language asked for.
    chosenLanguage = parser.value(languageOption);
    if (parser.isSet(languageOption) && chosenLanguage != QLatin1String("ru")
        && chosenLanguage != QLatin1String("en")) {
        problems << tr("Unknown language '%1': choose ru or en. Try --help.").arg(chosenLanguage);
        chosenLanguage.clear();
        return Fail;
    }
    // The parser's help option comes with --help-all, which would list Qt's
    // options as well; the help text names them in its description instead.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return ShowHelp;
    if (parser.isSet(QStringLiteral("version")))
        return ShowVersion;
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        problems << tr("Only one settings file can be opened at start, not %1 (%2). Try --help.")
                        .arg(files.size())
                        .arg(files.join(QStringLiteral(", ")));
        return Fail;
    }
    fileToOpen = files.value(0);
    if (stage == BeforeApplication)
        styleGiven = parser.isSet(QStringLiteral("style"));

    // A path that does not exist yet (an adapter not plugged in) is kept: the
    // port list offers it once it appears.
    givenPorts = parser.values(portOption);
    for (const QString &path : qAsConst(givenPorts)) {
        if (!QFileInfo::exists(path))
            problems << tr("No such serial device: %1; it is offered once it appears.").arg(path);
    }
    return Run;
}

QString CommandLine::helpText() const
{
    // The options are described afresh, in the language installed by now.
    QCommandLineParser parser;
    CommandLine().describe(parser);
    return parser.helpText();
}
