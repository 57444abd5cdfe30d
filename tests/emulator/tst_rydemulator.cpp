#include "settingsrecord.h"

#include <QProcess>
#include <QSerialPort>
#include <QTemporaryFile>
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
    SettingsRecord record;
    record.testAddress = 12;
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(record.toBytes());
    file.flush();

    // The program prints its end of the line first; the poll of address 2 stays unanswered.
    QProcess process;
    process.start(RYD_EMULATOR_PATH, {"--present", "1,12", "--settings", file.fileName()});
    QTRY_VERIFY(process.canReadLine());
    QSerialPort port(QString::fromLocal8Bit(process.readLine()).trimmed());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QByteArray answers;
    connect(&port, &QSerialPort::readyRead, [&] { answers += port.readAll(); });
    port.write("$1!011!012!01<");
    QTRY_COMPARE(answers, QByteArray("adr=<,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\rTEST1TEST<"));
    process.terminate();
    QVERIFY(process.waitForFinished());
}

void tst_RydEmulator::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("help") << QStringList{"--help"} << true;
    QTest::newRow("address 64") << QStringList{"--present", "1,64"} << false;
    QTest::newRow("unknown option") << QStringList{"--baud"} << false;
    QTest::newRow("missing settings file") << QStringList{"--settings", "/nonexistent/device.ryd"} << false;
}

void tst_RydEmulator::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QProcess process;
    process.start(RYD_EMULATOR_PATH, arguments);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode() == 0, accepted);
    QCOMPARE(process.readAllStandardError().isEmpty(), accepted);
    QCOMPARE(process.readAllStandardOutput().contains("--present"), accepted);
}

QTEST_GUILESS_MAIN(tst_RydEmulator)
#include "tst_rydemulator.moc"
