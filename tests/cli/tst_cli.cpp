#include "../testing.h"
#include "devicemodel.h"
#include "emulator.h"
#include "settingsrecord.h"

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

using Settings = QMap<QString, int>;

// A site's settings, none of them the factory's, in the file's order: delay, power, radio rate, channel,
// parity, stop bit, sub-band, serial timeout, radio transmit reset, serial rate, watchdog, address, port, flow.
SettingsRecord siteRecord() { return {12, 5, 1, 4, 2, 1, 2, 4, 30, 5, 3, 9, QString(), 0}; }

Settings settingsOf(const SettingsRecord &record)
{
    DeviceModel device;
    record.applyTo(&device);
    return heldBy(&device);
}

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
    void readAndDefault();
    void writeWithOverrideAndBackup();
    void filesOntoFullDisk();
    void globServesEveryPort();
    void timedByTheSecond();
    void stopsOnSignal();

private:
    Emulator *addEmulator();
    // Runs ryd-cli to its end; the emulators answer meanwhile.
    Outcome run(const QStringList &arguments, int timeoutMs = 20000);
    // Runs several at once: the cases that wait on the protocol's second.
    QList<Outcome> runTogether(const QList<QStringList> &commands, int timeoutMs = 20000);
    QProcess *startCli(const QStringList &arguments);

    std::vector<std::unique_ptr<Emulator>> emulators;
    std::unique_ptr<QTemporaryDir> dir;
    // siteRecord() as a settings file.
    QString siteFile;
};

void tst_Cli::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    siteFile = dir->filePath("site.ryd");
    QVERIFY(writeFile(siteFile, siteRecord().toBytes()));
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
    return runTogether({arguments}, timeoutMs).first();
}

QList<Outcome> tst_Cli::runTogether(const QList<QStringList> &commands, int timeoutMs)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    QEventLoop loop;
    int running = 0;
    for (const QStringList &arguments : commands) {
        processes.emplace_back(startCli(arguments));
        ++running;
        connect(processes.back().get(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                [&loop, &running] {
                    if (--running == 0)
                        loop.quit();
                });
    }
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QList<Outcome> outcomes;
    for (const auto &process : processes) {
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
        outcomes << outcome;
    }
    return outcomes;
}

// A command that cannot be carried out as given sends nothing: usage errors
// and a default without --yes end with 1, a settings file or --set value that
// is not what the window offers with 5, the reason on standard error.
void tst_Cli::refusedBeforeAnyPort_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");

    QTest::newRow("unknown command") << QStringList{"flash"} << 1 << "Unknown command: flash.";
    QTest::newRow("read without port") << QStringList{"read"} << 1 << "read needs --port.";
    QTest::newRow("option of another command") << QStringList{"read", "--port", "@", "--yes"} << 1
                                               << "read does not take --yes.";
    QTest::newRow("address 64") << QStringList{"test", "--port", "@", "--address", "1,64"} << 1
                                << "--address: 64 is not an address 0 to 63.";
    QTest::newRow("default without --yes") << QStringList{"default", "--port", "@"} << 1 << "Give --yes to do it.";
    QTest::newRow("power beyond the dial") << QStringList{"write", "--port", "@", "@site", "--set", "Power=8"} << 5
                                           << "with the --set values are not written: \"Power\" holds 8 (allowed: 0 to 7)";
    QTest::newRow("timeout under the rate's floor")
        << QStringList{"write", "--port", "@", "@site", "--set", "Serial Data Rate=1200 bps", "--set", "Serial Timeout=16"}
        << 5 << "\"Serial Timeout\" holds 16 (allowed at \"Serial Data Rate\" 1200 bps: 17 to 250)";
    QTest::newRow("unknown setting") << QStringList{"write", "--port", "@", "@site", "--set", "Speed=1"} << 5
                                     << "no setting of that name";
    QTest::newRow("record of other columns") << QStringList{"read", "--port", "@", "--record", "@site"} << 6
                                             << "its columns are not those ryd-cli writes";
    QTest::newRow("no backup folder") << QStringList{"write", "--port", "@", "@site", "--backup", "/nonexistent"}
                                      << 6 << "The backup folder \"/nonexistent\" does not exist; nothing was sent.";
}

void tst_Cli::refusedBeforeAnyPort()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, said);
    arguments.replaceInStrings(QStringLiteral("@site"), siteFile);
    arguments.replaceInStrings(QStringLiteral("@"), addEmulator()->portName());
    const Outcome outcome = run(arguments);
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.err.startsWith("ryd-cli: ") && outcome.err.contains(said), qPrintable(outcome.err));
    QCOMPARE(outcome.out, QString());
    QCOMPARE(emulators.front()->requests(), QByteArrayList());
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

// read prints what the device holds, as JSON and into a settings file;
// default --yes then brings back the factory settings, in the record too.
void tst_Cli::readAndDefault()
{
    Emulator *emulator = addEmulator();
    siteRecord().applyTo(emulator->device());
    const QString port = emulator->portName();
    const QString saved = dir->filePath("read.ryd");
    const QString record = dir->filePath("record.csv");
    Outcome outcome = run({"read", "--port", port, "--json", "--output", saved, "--record", record});
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.err, QString());
    const QJsonObject read = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
    QCOMPARE(read.value("port").toString(), port);
    QCOMPARE(QStringList({read.value("hardware").toString(), read.value("firmware").toString(),
                          read.value("module").toString(), read.value("module_firmware").toString()}),
             QStringList({"B", "2.3", "LE50-868", "LE50-868 v1.2"}));
    Settings values;
    const QJsonObject settings = read.value("settings").toObject();
    for (auto it = settings.begin(); it != settings.end(); ++it)
        values.insert(it.key(), it.value().toObject().value("value").toInt(-1));
    QCOMPARE(values, settingsOf(siteRecord()));
    QCOMPARE(settings.value("Serial Data Rate").toObject().value("text").toString(), QString("38400 bps"));
    QCOMPARE(settings.value("Chanel").toObject().value("text").toString(), QString("868.925 MHz"));
    QCOMPARE(settingsOf(SettingsRecord::fromBytes(readFile(saved))), settingsOf(siteRecord()));

    // Several ports: one JSON object a line, each naming its port; a relative path is the working folder's.
    QVERIFY(QDir(dir->path()).mkdir("ports") && QFile::link(addEmulator()->portName(), dir->filePath("ports/modem2")));
    const QString here = QDir::currentPath();
    QDir::setCurrent(dir->path());
    outcome = run({"read", "--port", port, "--port", "ports/modem2", "--json"});
    QDir::setCurrent(here);
    QStringList ports;
    for (const QString &line : outcome.out.split('\n', Qt::SkipEmptyParts))
        ports << QJsonDocument::fromJson(line.toUtf8()).object().value("port").toString();
    QCOMPARE(ports.size(), 2);
    QCOMPARE(QSet<QString>(ports.begin(), ports.end()), (QSet<QString>{port, "ports/modem2"}));

    outcome = run({"read", "--port", port});
    QVERIFY2(outcome.out.contains("\nSerial Data Rate: 38400 bps\n") && outcome.out.contains("\nWDT Reset: 30 sec\n")
                 && outcome.out.endsWith("\nHardware: B\nFirmware: 2.3\nRadio module: LE50-868\n"
                                         "Radio module firmware: LE50-868 v1.2\n"),
             qPrintable(outcome.out));

    outcome = run({"default", "--port", port, "--yes", "--record", record});
    QCOMPARE(outcome.status, 0);
    QCOMPARE(heldBy(emulator->device()), settingsOf(SettingsRecord()));
    const QStringList lines = QString::fromUtf8(readFile(record)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(0).startsWith("time,port,adapter_serial,command,result,hardware,firmware,module,module_firmware,"
                                    "Sub-band,"), qPrintable(lines.at(0)));
    QVERIFY2(lines.at(1).contains("," + port + ",,read,done,B,2.3,LE50-868,LE50-868 v1.2,g2 868.7-869.2 MHz,9600 bps,"
                                  "868.925 MHz,4,5,9,38400 bps,12,\"8-bit data, odd parity\",2,HardWare,30,30 sec"),
             qPrintable(lines.at(1)));
    QVERIFY2(lines.at(2).contains(",default,done,"), qPrintable(lines.at(2)));
}

// write saves what the device held, writes the file with the override and
// leaves the device holding exactly that.
void tst_Cli::writeWithOverrideAndBackup()
{
    Emulator *emulator = addEmulator();
    const QString backups = dir->filePath("backups");
    QVERIFY(QDir().mkpath(backups));
    // The names of this second and the next few are taken: none is replaced.
    const QString base = QDir(backups).filePath(emulator->portName().mid(5).replace('/', '_') + '-');
    QStringList taken;
    for (int later = 0; later < 4; ++later) {
        taken << base + QDateTime::currentDateTime().addSecs(later).toString("yyyyMMdd-HHmmss") + ".ryd";
        QVERIFY(writeFile(taken.last(), "taken"));
    }
    const Outcome outcome = run({"write", "--port", emulator->portName(), siteFile, "--set", "Power=2", "--set",
                                 "Serial Data Rate=115200 bps", "--backup", backups});
    QVERIFY2(outcome.status == 0, qPrintable(outcome.err));
    Settings expected = settingsOf(siteRecord());
    expected.insert("Power", 2);
    expected.insert("Serial Data Rate", 7);
    QCOMPARE(heldBy(emulator->device()), expected);
    for (const QString &name : taken)
        QCOMPARE(readFile(name), QByteArray("taken"));
    const QStringList saved = QDir(backups).entryList({"*-2.ryd"}, QDir::Files);
    QCOMPARE(saved.size(), 1);
    QVERIFY2(outcome.out.contains(saved.first()), qPrintable(outcome.out));
    QCOMPARE(settingsOf(SettingsRecord::fromBytes(readFile(QDir(backups).filePath(saved.first())))),
             settingsOf(SettingsRecord()));

    // A file that ends before its flow-control byte leaves the device's own, unless --set gives one.
    Emulator *second = addEmulator();
    const QString noFlowFile = dir->filePath("no-flow.ryd");
    QVERIFY(writeFile(noFlowFile, siteRecord().toBytes().chopped(1)));
    QCOMPARE(run({"write", "--port", second->portName(), noFlowFile}).status, 0);
    expected = settingsOf(siteRecord());
    expected.insert("Flow control", SettingsRecord().flowControl);
    QCOMPARE(heldBy(second->device()), expected);
    QCOMPARE(run({"write", "--port", second->portName(), noFlowFile, "--set", "Flow control=HardWare"}).status, 0);
    QCOMPARE(heldBy(second->device()), settingsOf(siteRecord()));
}

// A file ryd-cli cannot write, onto a full disk or /dev/full, is told on
// standard error and ends with 6; an existing file keeps its bytes, and a
// backup that cannot be made keeps the device from being written.
void tst_Cli::filesOntoFullDisk()
{
    const QByteArray site = siteRecord().toBytes();
    // A record of this ryd-cli's columns, in whole pages: a line added needs room the disk has not.
    QVERIFY(run({"read", "--port", addEmulator()->portName(), "--record", dir->filePath("r.csv")}).status == 0);
    QByteArray record = readFile(dir->filePath("r.csv")).split('\n').first() + '\n';
    record += QByteArray(4096 - record.size() - 1, 'k') + '\n';
    FullDisk disk({{"old.ryd", site}, {"record.csv", record}, {"backups/", {}}});
    SKIP_UNLESS_FULL(disk);
    Emulator *emulator = addEmulator();
    const QString port = emulator->portName();
    const QString saved = disk.filePath("old.ryd");
    Outcome outcome = run({"read", "--port", port, "--output", saved, "--record", disk.filePath("record.csv")});
    QCOMPARE(outcome.status, 6);
    QVERIFY2(outcome.err.contains("could not be saved to \"" + saved + "\": No space left on device")
                 && outcome.err.contains("The record could not be written"),
             qPrintable(outcome.err));
    QCOMPARE(readFile(saved), site);
    QCOMPARE(readFile(disk.filePath("record.csv")), record);
    outcome = run({"read", "--port", port, "--record", "/dev/full"});
    QCOMPARE(outcome.status, 6);
    QVERIFY2(!outcome.err.contains("seek"), qPrintable(outcome.err));
    outcome = run({"test", "--port", port, "--address", "1", "--polls", "1", "--csv", saved});
    QCOMPARE(outcome.status, 6);
    QCOMPARE(readFile(saved), site);

    emulator->clearRequests();
    outcome = run({"write", "--port", port, siteFile, "--backup", disk.filePath("backups")});
    QCOMPARE(outcome.status, 6);
    QVERIFY2(outcome.err.contains("The backup could not be saved") && outcome.err.contains("No space left on device"),
             qPrintable(outcome.err));
    for (const QByteArray &request : emulator->requests())
        QVERIFY2(!request.contains('=') && !request.startsWith("$0") && !request.startsWith("$3"), request);
}

// A glob serves three devices at once, each line prefixed with its port: the
// first takes the file, the second's power does not stick (4, and its line),
// the third hangs up in the read (3, naming the request). 4 is the worst.
void tst_Cli::globServesEveryPort()
{
    QStringList links;
    for (int i = 0; i < 3; ++i) {
        Emulator *emulator = addEmulator();
        links << dir->filePath(QStringLiteral("ttyEMU%1").arg(i));
        QVERIFY(QFile::link(emulator->portName(), links.last()));
    }
    emulators.at(1)->device()->setStuckRegisters({DeviceModel::Power});
    Emulator::Fault hangUp;
    hangUp.match = "ATS202?";
    hangUp.hangUp = true;
    emulators.at(2)->addFault(hangUp);
    const QString record = dir->filePath("record.csv");
    const Outcome outcome = run({"write", "--port", dir->filePath("ttyEMU*"), siteFile, "--record", record});
    QCOMPARE(outcome.status, 4);
    QCOMPARE(outcome.out.split('\n', Qt::SkipEmptyParts).filter(": Power: wrote 5, device holds 7"),
             QStringList{links.at(1) + ": Power: wrote 5, device holds 7"});
    QVERIFY2(outcome.err.contains("ryd-cli: " + links.at(1) + ": "), qPrintable(outcome.err));
    QVERIFY2(outcome.err.contains("ryd-cli: " + links.at(2) + ": The connection on the port " + links.at(2)
                                  + " was lost")
                 && outcome.err.contains("answer to the read of \"Power\"."),
             qPrintable(outcome.err));
    QCOMPARE(heldBy(emulators.at(0)->device()), settingsOf(siteRecord()));
    QVERIFY(!emulators.at(2)->requests().contains("ATO\r"));
    const QString lines = QString::fromUtf8(readFile(record));
    QCOMPARE(lines.count('\n'), 4);
    const QStringList results{",,write,done,", ",,write,not held,", ",,write,no answer,"};
    for (int i = 0; i < 3; ++i)
        QVERIFY2(lines.contains(links.at(i) + results.at(i)), qPrintable(lines));
}

// The cases timed by the protocol's second, run side by side. The radio test
// polls each address once a round; the counts follow the devices present, and
// the report is the one "Save Report" writes. A request that gets no answer
// ends the command as the prompt's "No" does, naming it; nothing follows it.
void tst_Cli::timedByTheSecond()
{
    Emulator *tested = addEmulator();
    tested->device()->setPresentAddresses(QByteArray(1, 1));
    tested->device()->setLossPercent(50);
    int answered = 0;
    connect(tested, &Emulator::answered, this, [&answered](const QByteArray &request, const QByteArray &bytes) {
        answered += request == "!011" && bytes == "TEST1";
    });
    Emulator *silent = addEmulator();
    Emulator::Fault fault;
    fault.match = "ATS202?";
    fault.silent = true;
    silent->addFault(fault);
    const QString csv = dir->filePath("report.csv");
    const QList<Outcome> outcomes = runTogether(
        {{"test", "--port", tested->portName(), "--address", "1,3", "--polls", "1", "--csv", csv},
         {"read", "--port", silent->portName()}});

    // An address that answered none of its polls is named, and fails the test.
    QCOMPARE(outcomes.at(0).status, 4);
    QCOMPARE(outcomes.at(0).out, QString("1 %1/1 %2%\n3 0/1 0%\n").arg(answered).arg(answered * 100));
    QCOMPARE(outcomes.at(0).err, QString(answered ? "" : "ryd-cli: Address 1 answered 0 of 1 polls.\n")
                                     + "ryd-cli: Address 3 answered 0 of 1 polls.\n");
    const QStringList report = QString::fromUtf8(readFile(csv)).split('\n');
    QCOMPARE(report.size(), 4);
    QVERIFY2(report.at(1).startsWith(QString("1,1,%1,%2,").arg(answered).arg(answered * 100)), qPrintable(report.at(1)));
    QVERIFY2(report.at(2).startsWith(QString("3,1,0,0,,,,%1,").arg(tested->portName())), qPrintable(report.at(2)));
    QCOMPARE(tested->requests().count("!011"), 1);

    QCOMPARE(outcomes.at(1).status, 3);
    QCOMPARE(outcomes.at(1).out, QString());
    QVERIFY2(outcomes.at(1).err.contains("did not answer the read of \"Power\"."), qPrintable(outcomes.at(1).err));
    QVERIFY(!silent->requests().contains("ATO\r"));
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
