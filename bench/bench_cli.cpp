// Times ryd-cli as a script starts it, against emulators paced at 9600 baud
// wire speed: "write" on eight devices at once must take at most 1.3 times
// as long as on one, because each port runs its own engine in the one event
// loop; one "read" must take at most 1.1 times the wire time of its bytes
// plus the program's own start ("ryd-cli --version").

#include "emulator.h"
#include "settingsrecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Run
{
    bool ok = false;
    double ms = 0;
    // The bytes of requests and answers on the busiest line.
    qint64 bytes = 0;
};

// Runs ryd-cli with `arguments` against `count` paced emulators, whose
// paths replace "@" (a repeated --port for each).
Run runCli(const QStringList &arguments, int count)
{
    Run run;
    std::vector<std::unique_ptr<Emulator>> emulators;
    std::vector<qint64> bytes(size_t(count), 0);
    QStringList command;
    for (int i = 0; i < count; ++i) {
        auto emulator = std::make_unique<Emulator>();
        QString error;
        if (!emulator->open(&error)) {
            QTextStream(stderr) << "emulator: " << error << '\n';
            return run;
        }
        emulator->setPacing(true);
        qint64 *counted = &bytes[size_t(i)];
        QObject::connect(emulator.get(), &Emulator::requestReceived, emulator.get(),
                         [counted](const QByteArray &request) { *counted += request.size(); });
        QObject::connect(emulator.get(), &Emulator::answered, emulator.get(),
                         [counted](const QByteArray &, const QByteArray &answer) { *counted += answer.size(); });
        command << QStringLiteral("--port") << emulator->portName();
        emulators.push_back(std::move(emulator));
    }
    for (const QString &argument : arguments) {
        if (argument != QLatin1String("@"))
            command << argument;
    }

    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(RYD_CLI), command);
    loop.exec();
    run.ms = clock.nsecsElapsed() / 1e6;
    if (process.state() != QProcess::NotRunning || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        QTextStream(stderr) << "ryd-cli " << command.join(' ') << " failed: " << process.readAllStandardError();
        return run;
    }
    run.ok = true;
    run.bytes = *std::max_element(bytes.cbegin(), bytes.cend());
    return run;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double wireMs(qint64 bytes)
{
    return bytes * 10 * 1000.0 / 9600;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int rounds = 5;
    QTemporaryDir dir;
    SettingsRecord record;
    record.chanel = 3;
    record.power = 5;
    record.serialDataRate = 5;
    record.testAddress = 9;
    const QString file = dir.filePath(QStringLiteral("site.ryd"));
    QFile settings(file);
    if (!settings.open(QIODevice::WriteOnly) || settings.write(record.toBytes()) <= 0)
        return 1;
    settings.close();

    QList<double> one, eight, read, start;
    Run lastWrite, lastRead;
    for (int i = 0; i < rounds; ++i) {
        for (auto [count, times] : {std::pair<int, QList<double> *>{1, &one}, {8, &eight}}) {
            lastWrite = runCli({QStringLiteral("write"), QStringLiteral("@"), file}, count);
            if (!lastWrite.ok)
                return 1;
            times->append(lastWrite.ms);
        }
        lastRead = runCli({QStringLiteral("read"), QStringLiteral("@")}, 1);
        if (!lastRead.ok)
            return 1;
        read.append(lastRead.ms);
        QElapsedTimer clock;
        clock.start();
        QProcess version;
        version.start(QStringLiteral(RYD_CLI), {QStringLiteral("--version")});
        if (!version.waitForFinished(10000))
            return 1;
        start.append(clock.nsecsElapsed() / 1e6);
    }

    const auto ms = [](double value) { return QString::number(value, 'f', 1); };
    const double writeRatio = median(eight) / median(one);
    out << "write, 1 device:  " << ms(median(one)) << " ms (median of " << rounds << "), wire "
        << ms(wireMs(lastWrite.bytes)) << " ms for " << lastWrite.bytes << " bytes\n";
    out << "write, 8 devices: " << ms(median(eight)) << " ms, " << QString::number(writeRatio, 'f', 2)
        << " times one device (limit 1.3)\n";
    const double readLimit = 1.1 * (wireMs(lastRead.bytes) + median(start));
    out << "read, 1 device:   " << ms(median(read)) << " ms; wire " << ms(wireMs(lastRead.bytes)) << " ms for "
        << lastRead.bytes << " bytes, start " << ms(median(start)) << " ms, limit 1.1 times both: "
        << ms(readLimit) << " ms\n";
    const bool withinLimits = writeRatio <= 1.3 && median(read) <= readLimit;
    out << (withinLimits ? "within limits\n" : "over the limits\n");
    return withinLimits ? 0 : 2;
}
