#include "settingsrecord.h"

#include <QSerialPort>
#include <QtTest>

class tst_RydEmulator : public QObject
{
    Q_OBJECT

private slots:
    void servesWithItsOptions();
};

void tst_RydEmulator::servesWithItsOptions()
{
    SettingsRecord record;
    record.testAddress = 12;
    QTemporaryFile file;
    QVERIFY(file.open() && file.write(record.toBytes()) > 0 && file.flush());

    // The program prints its end of the line first; the poll of address 2 stays unanswered, the write
    // of the stuck S202 is taken and forgotten, that of S200 kept.
    QProcess process;
    process.start(RYD_EMULATOR_PATH, {"--present", "1,12", "--settings", file.fileName(), "--stuck", "202"});
    QTRY_VERIFY(process.canReadLine());
    QSerialPort port(QString::fromLocal8Bit(process.readLine()).trimmed());
    QVERIFY(port.open(QIODevice::ReadWrite));
    port.write("$1!011!012!01<+++ATS202=3\rATS200=9\rATS202?\rATS200?\r");
    QTRY_COMPARE(port.peek(port.bytesAvailable()),
                 QByteArray("adr=<,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\rTEST1TEST<OK\rOK\rOK\rS202=7\rS200=9\r"));
    process.terminate();
    QVERIFY(process.waitForFinished());
}

QTEST_GUILESS_MAIN(tst_RydEmulator)
#include "tst_rydemulator.moc"
