#include "data.h"
#include "settingsfile.h"

#include <QTest>

class tst_SettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void exampleFileBytes();
    void roundTrip();
    void decode_data();
    void decode();
    void refusedContentLeavesRecord_data();
    void refusedContentLeavesRecord();
};

namespace {

// The one-byte fields in the file's order.
quint8 Data::*const fileOrder[] = {&Data::delayTxRx, &Data::power, &Data::radioDataRate, &Data::chanel,
                                   &Data::parity, &Data::stopBit, &Data::subBand, &Data::serialTimeout,
                                   &Data::radioTransmitReset, &Data::serialDataRate, &Data::wdtReset,
                                   &Data::testAddress, &Data::flowControl};

QList<int> fields(const Data &d)
{
    QList<int> values;
    for (quint8 Data::*field : fileOrder)
        values << d.*field;
    return values;
}

void setFields(Data &d, const QList<int> &values)
{
    for (int i = 0; i < values.size(); ++i)
        d.*fileOrder[i] = quint8(values.at(i));
}

// The example record of the settings file description.
void setExample(Data &data)
{
    setFields(data, {0, 7, 2, 0, 0, 0, 2, 2, 50, 4, 6, 0, 2});
    data.portName = "COM1";
}

} // namespace

// Byte for byte both ways, whichever Qt the build uses: files move between
// builds and operators.
void tst_SettingsFile::exampleFileBytes()
{
    const QByteArray file = QByteArray::fromHex("00070200000002023204060000000008" "0043004f004d003102");
    Data data;
    setExample(data);
    QCOMPARE(SettingsFile::encode(data).toHex(' '), file.toHex(' '));

    Data loaded;
    QVERIFY(SettingsFile::decode(file, loaded));
    QCOMPARE(fields(loaded), fields(data));
    QCOMPARE(loaded.portName, QString("COM1"));
}

void tst_SettingsFile::roundTrip()
{
    Data data;
    setFields(data, {250, 1, 4, 9, 3, 1, 8, 200, 200, 7, 255, 63, 128});
    data.portName = QString::fromUtf8("/dev/serial/by-id/usb-Ryd_µ");

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

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_settingsfile.moc"
