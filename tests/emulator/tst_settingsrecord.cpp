#include "devicemodel.h"
#include "settingsrecord.h"

#include <QtTest>

class tst_SettingsRecord : public QObject
{
    Q_OBJECT

private slots:
    void readsTheConfiguratorsFile();
    void writesTheSameBytes();
    void shortFiles_data();
    void shortFiles();
    void appliesToTheDevice();
};

namespace {

// The example record of the settings file description, port "COM1".
const QByteArray factoryFile = QByteArray::fromHex(
    "00070200000002023204060000000008"
    "0043004F004D003102");

// The one-byte fields in the file's order.
quint8 SettingsRecord::*const fileOrder[] = {
    &SettingsRecord::delayTxRx, &SettingsRecord::power, &SettingsRecord::radioDataRate,
    &SettingsRecord::chanel, &SettingsRecord::parity, &SettingsRecord::stopBit,
    &SettingsRecord::subBand, &SettingsRecord::serialTimeout, &SettingsRecord::radioTransmitReset,
    &SettingsRecord::serialDataRate, &SettingsRecord::wdtReset, &SettingsRecord::testAddress,
    &SettingsRecord::flowControl};

QList<int> fields(const SettingsRecord &record)
{
    QList<int> values;
    for (quint8 SettingsRecord::*field : fileOrder)
        values << record.*field;
    return values;
}

} // namespace

void tst_SettingsRecord::readsTheConfiguratorsFile()
{
    bool ok = false;
    const SettingsRecord record = SettingsRecord::fromBytes(factoryFile, &ok);
    QVERIFY(ok);
    QCOMPARE(fields(record), (QList<int>{0, 7, 2, 0, 0, 0, 2, 2, 50, 4, 6, 0, 2}));
    QCOMPARE(record.portName, QStringLiteral("COM1"));
}

void tst_SettingsRecord::writesTheSameBytes()
{
    QCOMPARE(SettingsRecord::fromBytes(factoryFile).toBytes(), factoryFile);

    SettingsRecord record;
    record.radioTransmitReset = 200;
    record.delayTxRx = 255;
    const QByteArray bytes = record.toBytes();
    QCOMPARE(quint8(bytes.at(8)), quint8(0xC8));
    const SettingsRecord back = SettingsRecord::fromBytes(bytes);
    QCOMPARE(back.radioTransmitReset, quint8(200));
    QCOMPARE(back.delayTxRx, quint8(255));
}

void tst_SettingsRecord::shortFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("portName");
    QTest::addColumn<int>("flowControl");

    QTest::newRow("twelve bytes") << factoryFile.left(12) << true << QString() << 0;
    QTest::newRow("port name cut short") << factoryFile.left(20) << true << QString() << 0;
    QTest::newRow("no flow control byte") << factoryFile.left(24) << true << QStringLiteral("COM1") << 0;
    QTest::newRow("eleven bytes") << factoryFile.left(11) << false << QString() << 2;
    QTest::newRow("empty") << QByteArray() << false << QString() << 2;
}

void tst_SettingsRecord::shortFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, portName);
    QFETCH(int, flowControl);

    bool read = !ok;
    QString error;
    const SettingsRecord record = SettingsRecord::fromBytes(bytes, &read, &error);
    QCOMPARE(read, ok);
    QCOMPARE(error.isEmpty(), ok);
    QCOMPARE(record.portName, portName);
    QCOMPARE(int(record.flowControl), flowControl);
    if (ok)
        QCOMPARE(record.radioTransmitReset, quint8(50));
}

void tst_SettingsRecord::appliesToTheDevice()
{
    const QList<int> values{20, 3, 4, 1, 2, 1, 6, 17, 5, 7, 255, 10, 0};
    SettingsRecord record;
    for (int i = 0; i < values.size(); ++i)
        record.*fileOrder[i] = quint8(values.at(i));

    DeviceModel device;
    record.applyTo(&device);
    QList<int> registers;
    for (int reg : DeviceModel::registers())
        registers << device.sRegister(reg);
    // S200, S201, S202, S206, S210, S214, S216.
    QCOMPARE(registers, (QList<int>{1, 4, 3, 6, 8, 17, 0}));
    QCOMPARE(device.linkRate(), 8);
    QCOMPARE(device.answer("$1"),
             QByteArray("adr=:,spd=7,d1=000,d2=020,par=2,res=005,wdt=255,bit=1\r"));
}

QTEST_GUILESS_MAIN(tst_SettingsRecord)
#include "tst_settingsrecord.moc"
