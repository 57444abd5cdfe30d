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

// A record with delayTxRx 0, power 7, radioDataRate 2, chanel 0, parity 0,
// stopBit 0, subBand 2, serialTimeout 2, radioTransmitReset 50,
// serialDataRate 4, wdtReset 6, testAddress 0, port "COM1", flowControl 2.
const QByteArray factoryFile = QByteArray::fromHex(
    "00070200000002023204060000000008"
    "0043004F004D003102");

} // namespace

void tst_SettingsRecord::readsTheConfiguratorsFile()
{
    bool ok = false;
    const SettingsRecord record = SettingsRecord::fromBytes(factoryFile, &ok);
    QVERIFY(ok);
    QCOMPARE(record.delayTxRx, quint8(0));
    QCOMPARE(record.power, quint8(7));
    QCOMPARE(record.radioDataRate, quint8(2));
    QCOMPARE(record.chanel, quint8(0));
    QCOMPARE(record.parity, quint8(0));
    QCOMPARE(record.stopBit, quint8(0));
    QCOMPARE(record.subBand, quint8(2));
    QCOMPARE(record.serialTimeout, quint8(2));
    QCOMPARE(record.radioTransmitReset, quint8(50));
    QCOMPARE(record.serialDataRate, quint8(4));
    QCOMPARE(record.wdtReset, quint8(6));
    QCOMPARE(record.testAddress, quint8(0));
    QCOMPARE(record.portName, QStringLiteral("COM1"));
    QCOMPARE(record.flowControl, quint8(2));
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
    SettingsRecord record;
    record.delayTxRx = 20;
    record.power = 3;
    record.radioDataRate = 4;
    record.chanel = 1;
    record.parity = 2;
    record.stopBit = 1;
    record.subBand = 6;
    record.serialTimeout = 17;
    record.radioTransmitReset = 5;
    record.serialDataRate = 7;
    record.wdtReset = 255;
    record.testAddress = 10;
    record.flowControl = 0;

    DeviceModel device;
    record.applyTo(&device);
    QCOMPARE(device.sRegister(DeviceModel::Chanel), 1);
    QCOMPARE(device.sRegister(DeviceModel::RadioDataRate), 4);
    QCOMPARE(device.sRegister(DeviceModel::Power), 3);
    QCOMPARE(device.sRegister(DeviceModel::SubBand), 6);
    QCOMPARE(device.sRegister(DeviceModel::SerialDataRate), 8);
    QCOMPARE(device.sRegister(DeviceModel::SerialTimeout), 17);
    QCOMPARE(device.sRegister(DeviceModel::FlowControl), 0);
    QCOMPARE(device.linkRate(), 8);
    QCOMPARE(device.answer("$1"),
             QByteArray("adr=:,spd=7,d1=000,d2=020,par=2,res=005,wdt=255,bit=1\r"));
}

QTEST_GUILESS_MAIN(tst_SettingsRecord)
#include "tst_settingsrecord.moc"
