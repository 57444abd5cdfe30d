#include "devicemodel.h"

#include <QtTest>

class tst_DeviceModel : public QObject
{
    Q_OBJECT

private slots:
    void answer_data();
    void answer();
    void registerWriteThenRead_data();
    void registerWriteThenRead();
    void atCommandsNeedCommandMode();
    void restoreDefaultsResetsOnlyTheModule();
    void rs485RoundTrip_data();
    void rs485RoundTrip();
    void malformedRecordKeepsTheOldOne_data();
    void malformedRecordKeepsTheOldOne();
    void identityAndLinkRate();
    void unknownRegisters();
    void pollLoss();
};

void tst_DeviceModel::answer_data()
{
    QTest::addColumn<bool>("commandMode");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");

    const QByteArray factoryRecord = "adr=0,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r";

    QTest::newRow("+++ in command mode") << true << QByteArray("+++") << QByteArray("OK\r");
    QTest::newRow("ATR") << true << QByteArray("ATR\r") << QByteArray("OK\r");
    QTest::newRow("AT") << true << QByteArray("AT\r") << QByteArray("OK\r");
    QTest::newRow("AT/V") << true << QByteArray("AT/V\r") << QByteArray("LE50-868 v1.2\r");
    QTest::newRow("read S200") << true << QByteArray("ATS200?\r") << QByteArray("S200=0\r");
    QTest::newRow("read S201") << true << QByteArray("ATS201?\r") << QByteArray("S201=2\r");
    QTest::newRow("read S202") << true << QByteArray("ATS202?\r") << QByteArray("S202=7\r");
    QTest::newRow("read S206") << true << QByteArray("ATS206?\r") << QByteArray("S206=2\r");
    QTest::newRow("read S210") << true << QByteArray("ATS210?\r") << QByteArray("S210=5\r");
    QTest::newRow("read S214") << true << QByteArray("ATS214?\r") << QByteArray("S214=2\r");
    QTest::newRow("read S216") << true << QByteArray("ATS216?\r") << QByteArray("S216=2\r");
    QTest::newRow("write S214 250") << true << QByteArray("ATS214=250\r") << QByteArray("OK\r");
    QTest::newRow("S201 refuses two digits") << true << QByteArray("ATS201=12\r")
                                             << QByteArray("ERROR\r");
    QTest::newRow("S200 refuses 256") << true << QByteArray("ATS200=256\r") << QByteArray("ERROR\r");
    QTest::newRow("empty value") << true << QByteArray("ATS200=\r") << QByteArray("ERROR\r");
    QTest::newRow("non-decimal value") << true << QByteArray("ATS200=x\r") << QByteArray("ERROR\r");
    QTest::newRow("negative value") << true << QByteArray("ATS200=-1\r") << QByteArray("ERROR\r");
    QTest::newRow("unknown register") << true << QByteArray("ATS999?\r") << QByteArray("ERROR\r");
    QTest::newRow("unknown AT command") << true << QByteArray("ATX\r") << QByteArray("ERROR\r");
    QTest::newRow("AT/V online") << false << QByteArray("AT/V\r") << QByteArray();
    QTest::newRow("ATO online") << false << QByteArray("ATO\r") << QByteArray();
    QTest::newRow("$1 online") << false << QByteArray("$1") << factoryRecord;
    QTest::newRow("$1 in command mode") << true << QByteArray("$1") << factoryRecord;
    QTest::newRow("$2") << false << QByteArray("$2") << QByteArray("firmware=2.3,pp=B\r");
    QTest::newRow("$0 in command mode") << true << QByteArray("$00,4,000,000,0,050,006,0")
                                        << QByteArray("OK\r");
    QTest::newRow("$0 malformed") << true << QByteArray("$00,4,000") << QByteArray("ERROR\r");
    QTest::newRow("XMwn") << false << QByteArray("XMwn\r") << QByteArray("OK\r");
    QTest::newRow("poll present 1") << false << QByteArray("!011") << QByteArray("TEST1");
    QTest::newRow("poll present 12") << false << QByteArray("!01<") << QByteArray("TEST<");
    QTest::newRow("poll present 63") << false << QByteArray("!01o") << QByteArray("TESTo");
    QTest::newRow("poll absent 2") << false << QByteArray("!012") << QByteArray();
    QTest::newRow("poll below address 0") << false << QByteArray("!01!") << QByteArray();
    QTest::newRow("unknown request") << false << QByteArray("$5") << QByteArray();
}

void tst_DeviceModel::answer()
{
    QFETCH(bool, commandMode);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);

    DeviceModel device;
    device.setPresentAddresses(QByteArray("\x01\x0c\x3f", 3));
    device.setCommandMode(commandMode);
    QCOMPARE(device.answer(request), answer);
}

void tst_DeviceModel::registerWriteThenRead_data()
{
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("value");

    QTest::newRow("channel") << 200 << 4;
    QTest::newRow("radio data rate") << 201 << 4;
    QTest::newRow("power") << 202 << 0;
    QTest::newRow("sub-band") << 206 << 8;
    QTest::newRow("serial rate") << 210 << 8;
    QTest::newRow("serial timeout") << 214 << 17;
    QTest::newRow("flow control") << 216 << 0;
}

void tst_DeviceModel::registerWriteThenRead()
{
    QFETCH(int, reg);
    QFETCH(int, value);

    DeviceModel device;
    device.setCommandMode(true);
    const QByteArray number = QByteArray::number(reg);
    QCOMPARE(device.answer("ATS" + number + "=" + QByteArray::number(value) + "\r"),
             QByteArray("OK\r"));
    QCOMPARE(device.sRegister(reg), value);
    QCOMPARE(device.answer("ATS" + number + "?\r"), "S" + number + "=" + QByteArray::number(value) + "\r");
    for (int other : DeviceModel::registers()) {
        if (other != reg)
            QCOMPARE(device.sRegister(other), DeviceModel::factoryValue(other));
    }
}

void tst_DeviceModel::atCommandsNeedCommandMode()
{
    DeviceModel device;
    QVERIFY(!device.isCommandMode());
    QCOMPARE(device.answer("ATS200=9\r"), QByteArray());
    QCOMPARE(device.sRegister(DeviceModel::Chanel), 0);

    QCOMPARE(device.answer("+++"), QByteArray("OK\r"));
    QVERIFY(device.isCommandMode());
    QCOMPARE(device.answer("ATS200=9\r"), QByteArray("OK\r"));
    QCOMPARE(device.sRegister(DeviceModel::Chanel), 9);

    QCOMPARE(device.answer("ATO\r"), QByteArray("OK\r"));
    QVERIFY(!device.isCommandMode());
    QCOMPARE(device.answer("ATS200?\r"), QByteArray());
    QCOMPARE(device.answer("ATR\r"), QByteArray());
    QCOMPARE(device.sRegister(DeviceModel::Chanel), 9);
}

void tst_DeviceModel::restoreDefaultsResetsOnlyTheModule()
{
    DeviceModel device;
    device.setCommandMode(true);
    for (int reg : DeviceModel::registers())
        QCOMPARE(device.answer("ATS" + QByteArray::number(reg) + "=1\r"), QByteArray("OK\r"));
    QCOMPARE(device.answer("$0A,7,000,100,1,200,010,1"), QByteArray("OK\r"));
    QCOMPARE(device.answer("$33"), QByteArray("OK\r"));

    QCOMPARE(device.answer("ATR\r"), QByteArray("OK\r"));
    const QList<int> factory = {0, 2, 7, 2, 5, 2, 2};
    QCOMPARE(DeviceModel::registers(), (QList<int>{200, 201, 202, 206, 210, 214, 216}));
    for (int i = 0; i < factory.size(); ++i)
        QCOMPARE(device.sRegister(DeviceModel::registers().at(i)), factory.at(i));
    QVERIFY(device.isCommandMode());
    QCOMPARE(device.rs485Text(), QByteArray("A,7,000,100,1,200,010,1"));
    QCOMPARE(device.linkRate(), 3);
}

void tst_DeviceModel::rs485RoundTrip_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("testAddress");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("factory") << QByteArray("0,4,000,000,0,050,006,0") << 0
                             << QByteArray("adr=0,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r");
    QTest::newRow("address 10") << QByteArray(":,7,000,020,1,005,255,1") << 10
                                << QByteArray("adr=:,spd=7,d1=000,d2=020,par=1,res=005,wdt=255,bit=1\r");
    QTest::newRow("address 63") << QByteArray("o,0,000,255,2,000,000,0") << 63
                                << QByteArray("adr=o,spd=0,d1=000,d2=255,par=2,res=000,wdt=000,bit=0\r");
    QTest::newRow("address ','") << QByteArray(",,4,000,000,0,050,006,0") << 252
                                 << QByteArray("adr=,,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r");
    QTest::newRow("two-digit parity") << QByteArray("5,3,000,000,12,050,006,0") << 5
                                      << QByteArray("adr=5,spd=3,d1=000,d2=000,par=12,res=050,wdt=006,bit=0\r");
}

void tst_DeviceModel::rs485RoundTrip()
{
    QFETCH(QByteArray, record);
    QFETCH(int, testAddress);
    QFETCH(QByteArray, answer);

    DeviceModel device;
    QCOMPARE(device.answer("$0" + record), QByteArray("OK\r"));
    QCOMPARE(int(device.rs485().testAddress), testAddress);
    QCOMPARE(device.rs485Text(), record);
    QCOMPARE(device.answer("$1"), answer);
}

void tst_DeviceModel::malformedRecordKeepsTheOldOne_data()
{
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("seven fields") << QByteArray("0,4,000,000,0,050,006");
    QTest::newRow("nine fields") << QByteArray("0,4,000,000,0,050,006,0,0");
    QTest::newRow("no separator after the address") << QByteArray("04,000,000,0,050,006,0,0");
    QTest::newRow("letter in a field") << QByteArray("0,4,000,0x0,0,050,006,0");
    QTest::newRow("value above a byte") << QByteArray("0,4,000,000,0,256,006,0");
    QTest::newRow("empty") << QByteArray();
}

void tst_DeviceModel::malformedRecordKeepsTheOldOne()
{
    QFETCH(QByteArray, record);

    DeviceModel device;
    const DeviceModel::Rs485Record before = device.rs485();
    QCOMPARE(device.answer("$0" + record), QByteArray("ERROR\r"));
    QVERIFY(device.rs485() == before);
}

void tst_DeviceModel::identityAndLinkRate()
{
    DeviceModel device;
    device.setFirmware("3.1");
    device.setHardware("C");
    device.setModuleVersion("LE50-868 v2.0");
    QCOMPARE(device.answer("$2"), QByteArray("firmware=3.1,pp=C\r"));
    device.setCommandMode(true);
    QCOMPARE(device.answer("AT/V\r"), QByteArray("LE50-868 v2.0\r"));

    QCOMPARE(device.answer("$38"), QByteArray("OK\r"));
    QCOMPARE(device.linkRate(), 8);
    QCOMPARE(device.answer("$30"), QByteArray("OK\r"));
    QCOMPARE(device.linkRate(), 0);

    QVERIFY(!device.isTestMode());
    QCOMPARE(device.answer("XMwn\r"), QByteArray("OK\r"));
    QVERIFY(device.isTestMode());
}

void tst_DeviceModel::unknownRegisters()
{
    DeviceModel device;
    QVERIFY(!device.hasSRegister(300));
    device.setSRegister(300, 1);
    QVERIFY(!device.hasSRegister(300));
    QCOMPARE(device.sRegister(300), -1);
    QCOMPARE(DeviceModel::factoryValue(300), -1);

    // A test may store what the module would refuse, to see how the program
    // takes an odd answer.
    device.setSRegister(DeviceModel::Power, 12);
    device.setCommandMode(true);
    QCOMPARE(device.answer("ATS202?\r"), QByteArray("S202=12\r"));
}

void tst_DeviceModel::pollLoss()
{
    auto answered = [](DeviceModel &device, QByteArray *pattern) {
        int count = 0;
        for (int i = 0; i < 200; ++i) {
            const bool ok = device.answer("!013") == "TEST3";
            count += ok;
            pattern->append(ok ? '1' : '0');
        }
        return count;
    };
    DeviceModel device;
    device.setPresentAddresses(QByteArray(1, 3));
    QByteArray pattern;
    QCOMPARE(answered(device, &pattern), 200);

    device.setLossPercent(100);
    QCOMPARE(answered(device, &pattern), 0);

    device.setLossPercent(30);
    device.setRandomSeed(7);
    QByteArray first;
    const int count = answered(device, &first);
    QVERIFY2(count > 110 && count < 170, qPrintable(QString::number(count)));

    DeviceModel again;
    again.setPresentAddresses(QByteArray(1, 3));
    again.setLossPercent(30);
    again.setRandomSeed(7);
    QByteArray second;
    answered(again, &second);
    QCOMPARE(second, first);
}

QTEST_GUILESS_MAIN(tst_DeviceModel)
#include "tst_devicemodel.moc"
