#include "commandline.h"
#include "core.h"
#include "version.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The options are read before the GUI starts, so --help and --version
    // work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine commandLine;
    switch (commandLine.parse(arguments)) {
    case CommandLine::ShowHelp:
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return 0;
    case CommandLine::ShowVersion:
        std::printf("ryd-configurator %s\n", RYD_VERSION);
        return 0;
    case CommandLine::Fail:
        for (const QString &message : commandLine.messages())
            std::fprintf(stderr, "%s\n", qPrintable(message));
        std::fputs("Try --help.\n", stderr);
        return 2;
    case CommandLine::Run:
        for (const QString &message : commandLine.messages())
            std::fprintf(stderr, "%s\n", qPrintable(message));
        break;
    }

    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // These two names select the per-user settings store ("PortName").
    QCoreApplication::setOrganizationName(QStringLiteral("Morvell"));
    QCoreApplication::setApplicationName(QStringLiteral("Ryd"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RYD_VERSION));

    Core core(nullptr, commandLine.ports());
    return app.exec();
}
