#include "data.h"
#include "exchange.h"

#include <QtTest>

// The command table of the exchange: what each kind sends, how its answer is
// recognised and how long it waits.
class tst_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    void entry_data();
    void entry();
    void testPoll_data();
    void testPoll();
    void testRequestByIndex();

private:
    Data data;
};

void tst_Catalogue::entry_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("abortOnTimeout");
    QTest::addColumn<int>("keepAfterAnswer");

    const QByteArray ok = "OK\r";
    const QByteArray okMask = "111";
    const auto row = [&](const char *name, TypeParser type, const QString &value,
                         const QByteArray &request, const QByteArray &answer,
                         const QByteArray &mask) {
        QTest::newRow(name) << int(type) << value << request << answer << mask << 2 << 1000 << 0
                            << 0;
    };

    row("E_CommandMode", E_CommandMode, "", "+++", ok, okMask);
    row("E_OnlineMode", E_OnlineMode, "", "ATO\r", ok, okMask);
    row("E_TestMode", E_TestMode, "", "XMwn\r", ok, okMask);
    row("E_RestoreDefaults", E_RestoreDefaults, "", "ATR\r", ok, okMask);
    row("E_SetRs485", E_SetRs485, "0,4,000,000,0,050,006,0", "$00,4,000,000,0,050,006,0", ok,
        okMask);
    row("E_SetSubBand", E_SetSubBand, "2", "ATS206=2\r", ok, okMask);
    row("E_SetRadioDataRate", E_SetRadioDataRate, "3", "ATS201=3\r", ok, okMask);
    row("E_SetChanel", E_SetChanel, "5", "ATS200=5\r", ok, okMask);
    row("E_SetPower", E_SetPower, "7", "ATS202=7\r", ok, okMask);
    row("E_SetSerialTimeout", E_SetSerialTimeout, "17", "ATS214=17\r", ok, okMask);
    row("E_SetSerialDataRate", E_SetSerialDataRate, "8", "ATS210=8\r", ok, okMask);
    row("E_SetLinkRate", E_SetLinkRate, "5", "$35", ok, okMask);
    row("E_SetFlowControl", E_SetFlowControl, "2", "ATS216=2\r", ok, okMask);
    row("E_GetRs485", E_GetRs485, "", "$1", "adr=x,spd=x,d1=x,d2=x,par=x,res=x,wdt=x,bit=x\r",
        "1111X11111X1111X1111X11111011111X11111X1111101");
    row("E_GetSubBand", E_GetSubBand, "", "ATS206?\r", "S206=x\r", "1111101");
    row("E_GetRadioDataRate", E_GetRadioDataRate, "", "ATS201?\r", "S201=x\r", "1111101");
    row("E_GetChanel", E_GetChanel, "", "ATS200?\r", "S200=x\r", "11111X1");
    row("E_GetPower", E_GetPower, "", "ATS202?\r", "S202=x\r", "1111101");
    row("E_GetSerialTimeout", E_GetSerialTimeout, "", "ATS214?\r", "S214=x\r", "11111X1");
    row("E_GetFlowControl", E_GetFlowControl, "", "ATS216?\r", "S216=x\r", "11111X1");
    row("E_GetVersion", E_GetVersion, "", "$2", "firmware=x,pp=x\r", "111111111X1111X1");
    row("E_GetModuleVersion", E_GetModuleVersion, "", "AT/V\r", "x\r", "X1");

    // The value text goes in unchanged and only where the request has a place for it.
    row("E_GetChanel ignores the value", E_GetChanel, "9", "ATS200?\r", "S200=x\r", "11111X1");
    row("E_CommandMode ignores the value", E_CommandMode, "1", "+++", ok, okMask);
    row("value without width or fill", E_SetChanel, " 05", "ATS200= 05\r", ok, okMask);
    row("value with a percent sign", E_SetLinkRate, "%2", "$3%2", ok, okMask);
    row("value in UTF-8", E_SetRs485, QString::fromUtf8("é,Ж"), "$0\xc3\xa9,\xd0\x96", ok,
        okMask);
    row("value outside the table", TypeParser(23), "5", "", ok, okMask);
    row("negative value", TypeParser(-1), "5", "", ok, okMask);

    // The test poll of an empty address list (the list is filled in testPoll).
    QTest::newRow("E_Test") << int(E_Test) << "" << QByteArray() << QByteArray("TEST")
                            << QByteArray("1111") << 1 << 1000 << 0 << 1;
}

void tst_Catalogue::entry()
{
    QFETCH(int, type);
    QFETCH(QString, value);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, mask);
    QFETCH(int, repeats);
    QFETCH(int, interval);
    QFETCH(int, abortOnTimeout);
    QFETCH(int, keepAfterAnswer);

    Exchange exchange(nullptr, &data);
    const ParserParam param = exchange.getParserParam(TypeParser(type), value);
    QCOMPARE(int(param.type), type);
    QCOMPARE(param.request, request);
    QCOMPARE(param.answer, answer);
    QCOMPARE(param.mask, mask);
    QCOMPARE(param.mask.size(), param.answer.size());
    QCOMPARE(int(param.repeats), repeats);
    QCOMPARE(int(param.interval), interval);
    QCOMPARE(int(param.abortOnTimeout), abortOnTimeout);
    QCOMPARE(int(param.keepAfterAnswer), keepAfterAnswer);
}

void tst_Catalogue::testPoll_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("0") << 0 << QByteArray("!010") << QByteArray("TEST0");
    QTest::newRow("10") << 10 << QByteArray("!01:") << QByteArray("TEST:");
    QTest::newRow("12") << 12 << QByteArray("!01<") << QByteArray("TEST<");
    QTest::newRow("63") << 63 << QByteArray("!01o") << QByteArray("TESTo");
}

void tst_Catalogue::testPoll()
{
    QFETCH(int, address);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);

    Exchange exchange(nullptr, &data);
    // The port is closed: the test starts but nothing reaches a device.
    exchange.startTest(QByteArray(1, char(address)));
    QCOMPARE(exchange.queuedTypes(), (QList<TypeParser>{E_TestMode, E_Test}));
    QCOMPARE(exchange.queuedRequests().at(1), request);

    const ParserParam param = exchange.getParserParam(E_Test, QString());
    QCOMPARE(param.request, request);
    QCOMPARE(param.answer, answer);
    QCOMPARE(param.mask, QByteArray("11111"));
    QCOMPARE(int(param.repeats), 1);
    QCOMPARE(int(param.interval), 1000);
    QCOMPARE(int(param.keepAfterAnswer), 1);
    QCOMPARE(int(param.abortOnTimeout), 0);
    exchange.clearParsers();
}

void tst_Catalogue::testRequestByIndex()
{
    Exchange exchange(nullptr, &data);
    exchange.startTest(QByteArray("\x00\x0a\x0c\x3f", 4));
    exchange.clearParsers();

    const QList<QByteArray> expected{"!010", "!01:", "!01<", "!01o", ""};
    for (int index = 0; index < expected.size(); ++index) {
        QByteArray request;
        QVERIFY(QMetaObject::invokeMethod(&exchange, "getTestRequest", Qt::DirectConnection,
                                          Q_RETURN_ARG(QByteArray, request),
                                          Q_ARG(quint8, quint8(index))));
        QCOMPARE(request, expected.at(index));
    }
}

QTEST_GUILESS_MAIN(tst_Catalogue)
#include "tst_catalogue.moc"
