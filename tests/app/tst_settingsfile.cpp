#include "data.h"
#include "settingsfile.h"

#include <QTest>

class tst_SettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void encodeExample();
    void roundTrip();
    void decode_data();
    void decode();
    void refusedContentLeavesRecord_data();
    void refusedContentLeavesRecord();
    void startupLayout();
};

namespace {
void setExample(Data &data)
{
    data.delayTxRx = 0;
    data.power = 7;
    data.radioDataRate = 2;
    data.chanel = 0;
    data.parity = 0;
    data.stopBit = 0;
    data.subBand = 2;
    data.serialTimeout = 2;
    data.radioTransmitReset = 50;
    data.serialDataRate = 4;
    data.wdtReset = 6;
    data.testAddress = 0;
    data.portName = "COM1";
    data.flowControl = 2;
}

QList<int> fields(const Data &d)
{
    return {d.delayTxRx, d.power, d.radioDataRate, d.chanel, d.parity, d.stopBit, d.subBand,
            d.serialTimeout, d.radioTransmitReset, d.serialDataRate, d.wdtReset, d.testAddress,
            d.flowControl};
}
} // namespace

void tst_SettingsFile::encodeExample()
{
    Data data;
    setExample(data);
    QCOMPARE(SettingsFile::encode(data).toHex(' '),
             QByteArray("00 07 02 00 00 00 02 02 32 04 06 00 00 00 00 08 00 43 00 4f 00 4d 00 31 02"));
}

void tst_SettingsFile::roundTrip()
{
    Data data;
    data.delayTxRx = 250;
    data.power = 1;
    data.radioDataRate = 4;
    data.chanel = 9;
    data.parity = 3;
    data.stopBit = 1;
    data.subBand = 8;
    data.serialTimeout = 200;
    data.radioTransmitReset = 200;
    data.serialDataRate = 7;
    data.wdtReset = 255;
    data.testAddress = 63;
    data.portName = QString::fromUtf8("/dev/serial/by-id/usb-Ryd_µ");
    data.flowControl = 128;

    Data loaded;
    QVERIFY(SettingsFile::decode(SettingsFile::encode(data), loaded));
    QCOMPARE(fields(loaded), fields(data));
    QCOMPARE(loaded.portName, data.portName);
}

void tst_SettingsFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<QString>("portName");

    const QByteArray twelve = QByteArray::fromHex("0107020302010211c804fa3f");
    const QList<int> twelveFields = {1, 7, 2, 3, 2, 1, 2, 17, 200, 4, 250, 63};
    QTest::newRow("twelve bytes: empty name, flow control 0")
        << twelve << (twelveFields + QList<int>{0}) << QString();
    QTest::newRow("null name")
        << twelve + QByteArray::fromHex("ffffffff02") << (twelveFields + QList<int>{2}) << QString();
    QTest::newRow("name cut short")
        << twelve + QByteArray::fromHex("00000008004300") << (twelveFields + QList<int>{0}) << QString();
    QTest::newRow("name longer than the file")
        << twelve + QByteArray::fromHex("7ffffffe0043") << (twelveFields + QList<int>{0}) << QString();
    QTest::newRow("odd name length: corrupt, nothing read after it")
        << twelve + QByteArray::fromHex("0000000361626302") << (twelveFields + QList<int>{0}) << QString();
    QTest::newRow("no flow control byte")
        << twelve + QByteArray::fromHex("000000020041") << (twelveFields + QList<int>{0}) << "A";
    QTest::newRow("trailing bytes ignored")
        << twelve + QByteArray::fromHex("00000002004102ffff") << (twelveFields + QList<int>{2}) << "A";
}

void tst_SettingsFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, expected);
    QFETCH(QString, portName);
    Data data;
    data.portName = "kept?";
    data.flowControl = 99;
    QVERIFY(SettingsFile::decode(bytes, data));
    QCOMPARE(fields(data), expected);
    QCOMPARE(data.portName, portName);
}

void tst_SettingsFile::refusedContentLeavesRecord_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray(1, '\x05');
    QTest::newRow("eleven bytes") << QByteArray(11, '\x05');
}

void tst_SettingsFile::refusedContentLeavesRecord()
{
    QFETCH(QByteArray, bytes);
    Data data;
    setExample(data);
    const QList<int> before = fields(data);
    QString problem;
    QVERIFY(!SettingsFile::decode(bytes, data, &problem));
    QVERIFY(!problem.isEmpty());
    QCOMPARE(fields(data), before);
    QCOMPARE(data.portName, QString("COM1"));
    QVERIFY(!SettingsFile::decodeStartup(bytes, data));
    QCOMPARE(fields(data), before);
}

void tst_SettingsFile::startupLayout()
{
    Data data;
    setExample(data);
    const QByteArray bytes = SettingsFile::encodeStartup(data);
    QCOMPARE(bytes, SettingsFile::encode(data).chopped(1));

    Data loaded;
    loaded.flowControl = 2;
    loaded.portName = "ttyS9";
    QVERIFY(SettingsFile::decodeStartup(bytes, loaded));
    QCOMPARE(fields(loaded), fields(data));
    // The start-up file's port name is never read back.
    QCOMPARE(loaded.portName, QString("ttyS9"));
}

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_settingsfile.moc"
