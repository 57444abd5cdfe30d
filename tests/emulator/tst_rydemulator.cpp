#include "settingsrecord.h"

#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

class tst_RydEmulator : public QObject
{
    Q_OBJECT

private slots:
    void servesWithItsOptions();
    void options_data();
    void options();
};

void tst_RydEmulator::servesWithItsOptions()
{
    QTemporaryDir dir;
    SettingsRecord record;
    record.testAddress = 12;
    record.chanel = 4;
    QFile file(dir.filePath("device.ryd"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(record.toBytes());
    file.close();

    // The program prints its end of the line first.
    QProcess process;
    process.start(RYD_EMULATOR_PATH, {"--present", "1,12", "--settings", file.fileName(), "--verbose"});
    QTRY_VERIFY(process.canReadLine());
    QSerialPort port(QString::fromLocal8Bit(process.readLine()).trimmed());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QByteArray answers;
    connect(&port, &QSerialPort::readyRead, [&] { answers += port.readAll(); });
    // The poll of address 2 stays unanswered.
    const QList<QByteArrayList> exchanges{{"$1", "adr=<,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r"},
                                          {"+++ATS200?\r", "OK\rS200=4\r"},
                                          {"!011!012!01<", "TEST1TEST<"}};
    for (const QByteArrayList &exchange : exchanges) {
        answers.clear();
        port.write(exchange.at(0));
        QTRY_COMPARE(answers, exchange.at(1));
    }

    process.terminate();
    QVERIFY(process.waitForFinished());
    const QByteArray log = process.readAllStandardError();
    QVERIFY2(log.contains("-> !012\n<- (no answer)\n"), log.constData());
}

void tst_RydEmulator::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("help") << QStringList{"--help"} << true;
    QTest::newRow("address 64") << QStringList{"--present", "1,64"} << false;
    QTest::newRow("address not a number") << QStringList{"--present", "a"} << false;
    QTest::newRow("loss 101") << QStringList{"--loss", "101"} << false;
    QTest::newRow("missing settings file") << QStringList{"--settings", "/nonexistent/device.ryd"} << false;
    QTest::newRow("unknown option") << QStringList{"--baud"} << false;
    QTest::newRow("stray argument") << QStringList{"COM1"} << false;
}

// Help names every option on standard output; a bad option is refused on
// standard error.
void tst_RydEmulator::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QProcess process;
    process.start(RYD_EMULATOR_PATH, arguments);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode() == 0, accepted);
    QCOMPARE(process.readAllStandardError().isEmpty(), accepted);
    const QByteArray help = process.readAllStandardOutput();
    for (const char *option : {"--present", "--loss", "--pacing", "--settings", "--verbose"})
        QCOMPARE(help.contains(option), accepted);
}

QTEST_GUILESS_MAIN(tst_RydEmulator)
#include "tst_rydemulator.moc"
