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
    record.chanel = 4;
    QFile file(dir.filePath("device.ryd"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(record.toBytes());
    file.close();

    // The program prints its end of the line first.
    QProcess process;
    process.start(RYD_EMULATOR_PATH, {"--present", "1,12", "--settings", file.fileName()});
    QTRY_VERIFY(process.canReadLine());
    QSerialPort port(QString::fromLocal8Bit(process.readLine()).trimmed());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QByteArray answers;
    connect(&port, &QSerialPort::readyRead, [&] { answers += port.readAll(); });
    port.write("+++ATS200?\r");
    QTRY_COMPARE(answers, QByteArray("OK\rS200=4\r"));
    // The poll of address 2 stays unanswered.
    answers.clear();
    port.write("!011!012!01<");
    QTRY_COMPARE(answers, QByteArray("TEST1TEST<"));
}

void tst_RydEmulator::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("help") << QStringList{"--help"} << true;
    QTest::newRow("address 64") << QStringList{"--present", "1,64"} << false;
    QTest::newRow("missing settings file") << QStringList{"--settings", "/nonexistent/device.ryd"} << false;
    QTest::newRow("unknown option") << QStringList{"--baud"} << false;
}

// Help goes to standard output; a bad option is refused on standard error.
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
