#include "commandline.h"
#include "core.h"
#include "language.h"
#include "version.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>

namespace {
void printMessages(const CommandLine &commandLine)
{
    for (const QString &message : commandLine.messages())
        std::fprintf(stderr, "ryd-configurator: %s\n", qPrintable(message));
}
} // namespace

int main(int argc, char *argv[])
{
    // Help, version and a refused command line are answered before any GUI
    // object exists, so they work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine commandLine;
    switch (commandLine.parse(arguments, CommandLine::BeforeApplication)) {
    case CommandLine::ShowHelp: {
        // The help text names the program from the application object's
        // arguments; a core application needs no window system.
        QCoreApplication core(argc, argv);
        Language::install(&core, Language::chosen(commandLine.language()));
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return 0;
    }
    case CommandLine::ShowVersion:
        std::printf("ryd-configurator %s\n", RYD_VERSION);
        return 0;
    case CommandLine::Fail: {
        // Read again once the chosen language is installed, so that the
        // refusal is said in it.
        QCoreApplication core(argc, argv);
        Language::install(&core, Language::chosen(commandLine.language()));
        commandLine.parse(arguments, CommandLine::BeforeApplication);
        printMessages(commandLine);
        return 2;
    }
    case CommandLine::Run:
        break;
    }
    const bool styleChosen = commandLine.styleChosen() || qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE");

    // QApplication takes the options it uses out of argc and argv; whatever
    // else is left is the program's own or refused.
    QApplication app(argc, argv);
    Language::install(&app, Language::chosen(commandLine.language()));
    const bool refused = commandLine.parse(QCoreApplication::arguments(), CommandLine::AfterApplication)
        != CommandLine::Run;
    printMessages(commandLine);
    if (refused)
        return 2;

    if (!styleChosen)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // These two names select the per-user settings store ("PortName").
    QCoreApplication::setOrganizationName(QStringLiteral("Morvell"));
    QCoreApplication::setApplicationName(QStringLiteral("Ryd"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RYD_VERSION));
    // Lets the desktop match the window to its installed menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.morvell.RydConfigurator"));

    Core core(nullptr, commandLine.ports(), commandLine.settingsFile());
    return app.exec();
}
