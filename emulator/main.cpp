// ryd-emulator: plays the radio modem on a pseudo-terminal until stopped.

#include "devicemodel.h"
#include "emulator.h"
#include "settingsrecord.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop learns of the signal
// through the pipe.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}

bool watchStopSignals(QCoreApplication *app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, app, [notifier] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

// Bytes as readable text: control and non-ASCII bytes as escapes.
QByteArray printable(const QByteArray &bytes)
{
    QByteArray text;
    for (char c : bytes) {
        const auto u = quint8(c);
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\\')
            text += "\\\\";
        else if (u < 0x20 || u >= 0x7f)
            text += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            text += c;
    }
    return text;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "ryd-emulator: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ryd-emulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the Ryd radio modem on a pseudo-terminal. Prints the path of its serial side "
        "and serves until stopped with SIGINT or SIGTERM."));
    parser.addHelpOption();
    const QCommandLineOption presentOption(
        QStringLiteral("present"),
        QStringLiteral("Comma-separated remote addresses (0..63) that answer test polls."),
        QStringLiteral("addresses"));
    const QCommandLineOption lossOption(QStringLiteral("loss"),
                                        QStringLiteral("Percentage of test polls left unanswered."),
                                        QStringLiteral("percent"));
    const QCommandLineOption pacingOption(QStringLiteral("pacing"),
                                          QStringLiteral("Deliver bytes at 9600 baud wire speed."));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"), QStringLiteral("Start with the settings of a .ryd file."),
        QStringLiteral("file"));
    const QCommandLineOption stuckOption(
        QStringLiteral("stuck"),
        QStringLiteral("An S-register (such as 202) that answers writes with OK but keeps its value; "
                       "repeatable."),
        QStringLiteral("register"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Log every request and answer to stderr."));
    parser.addOptions({presentOption, lossOption, pacingOption, settingsOption, stuckOption, verboseOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));

    Emulator emulator;
    DeviceModel *device = emulator.device();

    if (parser.isSet(presentOption)) {
        QByteArray present;
        const QStringList items = parser.value(presentOption).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &item : items) {
            bool ok = false;
            const int address = item.trimmed().toInt(&ok);
            if (!ok || address < 0 || address > 63)
                return fail(QStringLiteral("--present: %1 is not an address 0..63").arg(item));
            present.append(char(address));
        }
        device->setPresentAddresses(present);
    }
    if (parser.isSet(lossOption)) {
        bool ok = false;
        const int loss = parser.value(lossOption).toInt(&ok);
        if (!ok || loss < 0 || loss > 100)
            return fail(QStringLiteral("--loss: %1 is not a percentage 0..100").arg(parser.value(lossOption)));
        device->setLossPercent(loss);
    }
    QList<int> stuck;
    for (const QString &item : parser.values(stuckOption)) {
        bool ok = false;
        const int reg = item.toInt(&ok);
        if (!ok || !DeviceModel::registers().contains(reg))
            return fail(QStringLiteral("--stuck: %1 is not a register of the module").arg(item));
        stuck.append(reg);
    }
    device->setStuckRegisters(stuck);
    if (parser.isSet(settingsOption)) {
        QFile file(parser.value(settingsOption));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("--settings: %1: %2").arg(file.fileName(), file.errorString()));
        bool ok = false;
        QString error;
        const SettingsRecord record = SettingsRecord::fromBytes(file.readAll(), &ok, &error);
        if (!ok)
            return fail(QStringLiteral("--settings: %1: %2").arg(file.fileName(), error));
        record.applyTo(device);
    }
    emulator.setPacing(parser.isSet(pacingOption));
    // Nobody reads the request log here; keep it from growing while serving.
    QObject::connect(&emulator, &Emulator::requestReceived, &emulator, [&emulator] {
        emulator.clearRequests();
    });
    if (parser.isSet(verboseOption)) {
        QObject::connect(&emulator, &Emulator::requestReceived, &app, [](const QByteArray &request) {
            std::fprintf(stderr, "-> %s\n", printable(request).constData());
        });
        QObject::connect(&emulator, &Emulator::answered, &app,
                         [](const QByteArray &, const QByteArray &bytes) {
                             if (bytes.isEmpty())
                                 std::fprintf(stderr, "<- (no answer)\n");
                             else
                                 std::fprintf(stderr, "<- %s\n", printable(bytes).constData());
                         });
    }

    if (!watchStopSignals(&app))
        return fail(QStringLiteral("cannot watch for stop signals"));
    QString error;
    if (!emulator.open(&error))
        return fail(error);
    std::printf("%s\n", qPrintable(emulator.portName()));
    std::fflush(stdout);

    return app.exec();
}
