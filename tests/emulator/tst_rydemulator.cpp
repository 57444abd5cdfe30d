#include "serialline.h"
#include "settingsrecord.h"

#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class tst_RydEmulator : public QObject
{
    Q_OBJECT

private slots:
    void servesWithItsOptions();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void help();

private:
    // Starts the program and returns the path it printed; empty on failure.
    QString start(QProcess *process, const QStringList &arguments);
    QByteArray exchange(QSerialPort *port, const QByteArray &request, int answerSize);
    void stop(QProcess *process);
};

QString tst_RydEmulator::start(QProcess *process, const QStringList &arguments)
{
    process->start(QStringLiteral(RYD_EMULATOR_PATH), arguments);
    if (!process->waitForStarted(5000))
        return QString();
    const bool printed = QTest::qWaitFor(
        [process] { return process->canReadLine() || process->state() != QProcess::Running; }, 5000);
    if (!printed || !process->canReadLine())
        return QString();
    return QString::fromLocal8Bit(process->readLine()).trimmed();
}

QByteArray tst_RydEmulator::exchange(QSerialPort *port, const QByteArray &request, int answerSize)
{
    QByteArray received;
    port->write(request);
    // The caller compares what came; a shortfall shows there.
    [[maybe_unused]] const bool done = QTest::qWaitFor([&] {
        received += port->readAll();
        return received.size() >= answerSize;
    }, 3000);
    return received;
}

void tst_RydEmulator::stop(QProcess *process)
{
    if (process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(3000))
        process->kill();
    process->waitForFinished(3000);
}

void tst_RydEmulator::servesWithItsOptions()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SettingsRecord record;
    record.testAddress = 12;
    record.serialDataRate = 6;
    record.chanel = 4;
    record.flowControl = 0;
    QFile file(dir.filePath(QStringLiteral("device.ryd")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(record.toBytes());
    file.close();

    QProcess process;
    const QString path = start(&process, {QStringLiteral("--present"), QStringLiteral("1,12"),
                                          QStringLiteral("--settings"), file.fileName(),
                                          QStringLiteral("--verbose")});
    QVERIFY2(!path.isEmpty(), process.readAllStandardError().constData());
    QSerialPort port;
    QVERIFY(openPort(&port, path));

    QCOMPARE(exchange(&port, "$1", 54),
             QByteArray("adr=<,spd=6,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r"));
    QCOMPARE(exchange(&port, "+++ATS200?\r", 10), QByteArray("OK\rS200=4\r"));
    QCOMPARE(exchange(&port, "ATS216?\r", 7), QByteArray("S216=0\r"));
    QCOMPARE(exchange(&port, "ATS210?\r", 7), QByteArray("S210=7\r"));
    // The poll of address 2 stays unanswered: only the other two come back.
    QCOMPARE(exchange(&port, "!011!012!01<", 10), QByteArray("TEST1TEST<"));

    stop(&process);
    const QByteArray log = process.readAllStandardError();
    QVERIFY2(log.contains("-> $1\n<- adr=<,spd=6"), log.constData());
    QVERIFY2(log.contains("-> ATS200?\\r\n<- S200=4\\r\n"), log.constData());
    QVERIFY2(log.contains("-> !012\n<- (no answer)\n"), log.constData());
}

void tst_RydEmulator::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("address 64") << QStringList{QStringLiteral("--present"), QStringLiteral("1,64")};
    QTest::newRow("address not a number") << QStringList{QStringLiteral("--present"), QStringLiteral("a")};
    QTest::newRow("loss 101") << QStringList{QStringLiteral("--loss"), QStringLiteral("101")};
    QTest::newRow("missing settings file")
        << QStringList{QStringLiteral("--settings"), QStringLiteral("/nonexistent/device.ryd")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--baud")};
    QTest::newRow("stray argument") << QStringList{QStringLiteral("COM1")};
}

void tst_RydEmulator::refusesBadOptions()
{
    QFETCH(QStringList, arguments);

    QProcess process;
    process.start(QStringLiteral(RYD_EMULATOR_PATH), arguments);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY(process.exitCode() != 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QVERIFY(!process.readAllStandardError().isEmpty());
}

void tst_RydEmulator::help()
{
    QProcess process;
    process.start(QStringLiteral(RYD_EMULATOR_PATH), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 0);
    const QByteArray text = process.readAllStandardOutput();
    for (const char *option : {"--present", "--loss", "--pacing", "--settings", "--verbose"})
        QVERIFY2(text.contains(option), option);
}

QTEST_GUILESS_MAIN(tst_RydEmulator)
#include "tst_rydemulator.moc"
