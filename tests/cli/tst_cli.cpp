#include "devicemodel.h"
#include "emulator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <csignal>
#include <memory>
#include <vector>

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

} // namespace

// ryd-cli started as a process against emulators that this program serves
// while it runs.
class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void refusedBeforeAnyPort_data();
    void refusedBeforeAnyPort();
    void portsAndMissingPorts();
    void stopsOnSignal();

private:
    Emulator *addEmulator();
    // Runs ryd-cli to its end; the emulators answer meanwhile.
    Outcome run(const QStringList &arguments, int timeoutMs = 20000);
    QProcess *startCli(const QStringList &arguments);
    QByteArrayList allRequests() const;

    std::vector<std::unique_ptr<Emulator>> emulators;
    std::unique_ptr<QTemporaryDir> dir;
};

void tst_Cli::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void tst_Cli::cleanup()
{
    emulators.clear();
    dir.reset();
}

Emulator *tst_Cli::addEmulator()
{
    auto emulator = std::make_unique<Emulator>();
    QString error;
    if (!emulator->open(&error))
        qFatal("emulator: %s", qPrintable(error));
    emulators.push_back(std::move(emulator));
    return emulators.back().get();
}

QProcess *tst_Cli::startCli(const QStringList &arguments)
{
    auto *process = new QProcess(this);
    process->start(QStringLiteral(RYD_CLI), arguments);
    return process;
}

Outcome tst_Cli::run(const QStringList &arguments, int timeoutMs)
{
    std::unique_ptr<QProcess> process(startCli(arguments));
    QEventLoop loop;
    connect(process.get(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (process->state() != QProcess::NotRunning)
        loop.exec();
    Outcome outcome;
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished();
        outcome.err = QStringLiteral("still running after %1 ms\n").arg(timeoutMs);
    } else if (process->exitStatus() == QProcess::NormalExit) {
        outcome.status = process->exitCode();
    }
    outcome.out = QString::fromLocal8Bit(process->readAllStandardOutput());
    outcome.err += QString::fromLocal8Bit(process->readAllStandardError());
    return outcome;
}

QByteArrayList tst_Cli::allRequests() const
{
    QByteArrayList requests;
    for (const auto &emulator : emulators)
        requests += emulator->requests();
    return requests;
}

// A command that cannot be carried out as given sends nothing: usage errors
// and a default without --yes end with 1, the reason on standard error.
void tst_Cli::refusedBeforeAnyPort_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");

    QTest::newRow("no command") << QStringList{} << 1 << "No command given.";
    QTest::newRow("unknown command") << QStringList{"flash"} << 1 << "Unknown command: flash.";
    QTest::newRow("read without port") << QStringList{"read"} << 1 << "read needs --port.";
    QTest::newRow("option of another command") << QStringList{"read", "--port", "@", "--yes"} << 1
                                               << "read does not take --yes.";
    QTest::newRow("address 64") << QStringList{"test", "--port", "@", "--address", "1,64"} << 1
                                << "--address: 64 is not an address 0 to 63.";
    QTest::newRow("default without --yes") << QStringList{"default", "--port", "@"} << 1 << "Give --yes to do it.";
}

void tst_Cli::refusedBeforeAnyPort()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, said);
    const QString port = addEmulator()->portName();
    arguments.replaceInStrings(QStringLiteral("@"), port);
    const Outcome outcome = run(arguments);
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.err.startsWith("ryd-cli: ") && outcome.err.contains(said), qPrintable(outcome.err));
    QCOMPARE(outcome.out, QString());
    QCOMPARE(allRequests(), QByteArrayList());
}

// The help lists every exit status; ports lists a --port path beside the
// system's; a missing port ends with 2 and the window's reason.
void tst_Cli::portsAndMissingPorts()
{
    Outcome outcome = run({"--help"});
    QCOMPARE(outcome.status, 0);
    for (const char *status : {"0 done", "1 usage error", "2 the port cannot", "3 the device did not answer",
                               "4 the device does not hold", "5 a settings file", "130 stopped"})
        QVERIFY2(outcome.out.simplified().contains(status), status);

    const QString port = addEmulator()->portName();
    outcome = run({"ports", "--json", "--port", port});
    QCOMPARE(outcome.status, 0);
    const QJsonArray ports = QJsonDocument::fromJson(outcome.out.toUtf8()).array();
    QVERIFY2(!ports.isEmpty() && ports.last().toObject().value("path").toString() == port, qPrintable(outcome.out));

    const QString missing = dir->filePath("ttyMissing");
    outcome = run({"read", "--port", missing});
    QCOMPARE(outcome.status, 2);
    QCOMPARE(outcome.err, QStringLiteral("ryd-cli: The port %1 does not exist. Check that the adapter is plugged in, "
                                         "or choose another port.\n").arg(missing));
    outcome = run({"read", "--port", dir->filePath("ttyNone*")});
    QCOMPARE(outcome.status, 2);
}

// SIGINT and SIGTERM close the port and end with 130, in the midst of a radio test.
void tst_Cli::stopsOnSignal()
{
    for (int signal : {SIGINT, SIGTERM}) {
        Emulator *emulator = addEmulator();
        emulator->device()->setPresentAddresses(QByteArray(1, 1));
        std::unique_ptr<QProcess> process(startCli({"test", "--port", emulator->portName(), "--address", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(emulator->requests().contains("!011"), 10000);
        ::kill(pid_t(process->processId()), signal);
        QTRY_COMPARE_WITH_TIMEOUT(process->state(), QProcess::NotRunning, 5000);
        QCOMPARE(process->exitCode(), 130);
        QCOMPARE(process->readAllStandardError(), QByteArray());
    }
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
