#include "commandline.h"

#include <QCoreApplication>
#include <QFileInfo>

CommandLine::CommandLine()
    : portOption(QStringLiteral("port"),
                 QCoreApplication::translate("CommandLine",
                                             "Offer the serial device at <path> in the port list "
                                             "and select it; may be given more than once."),
                 QStringLiteral("path"))
{
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Configurator of the Ryd RS-485 / 868 MHz radio modem."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(portOption);
}

CommandLine::Outcome CommandLine::parse(const QStringList &arguments)
{
    existingPorts.clear();
    problems.clear();
    if (!parser.parse(arguments)) {
        problems << parser.errorText();
        return Fail;
    }
    if (parser.isSet(QStringLiteral("help")))
        return ShowHelp;
    if (parser.isSet(QStringLiteral("version")))
        return ShowVersion;
    if (!parser.positionalArguments().isEmpty()) {
        problems << QCoreApplication::translate("CommandLine", "Unexpected argument: %1")
                        .arg(parser.positionalArguments().constFirst());
        return Fail;
    }
    const QStringList paths = parser.values(portOption);
    for (const QString &path : paths) {
        if (!QFileInfo::exists(path)) {
            problems << QCoreApplication::translate("CommandLine", "No such serial device: %1").arg(path);
        } else if (!existingPorts.contains(path)) {
            existingPorts << path;
        }
    }
    return Run;
}
