#include "parser.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {

ParserParam makeParam(const QByteArray &answer, const QByteArray &mask,
                      quint8 repeats = 2, quint16 interval = 1000)
{
    ParserParam param;
    param.type = E_GetChanel;
    param.request = QByteArrayLiteral("ATS200?\r");
    param.answer = answer;
    param.mask = mask;
    param.repeats = repeats;
    param.interval = interval;
    return param;
}

QByteArrayList bytewise(const QByteArray &bytes)
{
    QByteArrayList chunks;
    for (const char c : bytes)
        chunks.append(QByteArray(1, c));
    return chunks;
}

const QByteArray rs485Answer = "adr=x,spd=x,d1=x,d2=x,par=x,res=x,wdt=x,bit=x\r";
const QByteArray rs485Mask = "1111X11111X1111X1111X11111011111X11111X1111101";

} // namespace

class tst_Parser : public QObject
{
    Q_OBJECT

private slots:
    void matcher_data();
    void matcher();
    void doneFlag_data();
    void doneFlag();
    void sendResetsPartialAnswer();
    void replacedRequestAndAnswer();
    void repeatCount_data();
    void repeatCount();
    void answerDoesNotStopTimer();
};

void tst_Parser::matcher_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<QByteArrayList>("chunks");
    // Index of the chunk whose call returns true; every other call returns false.
    QTest::addColumn<int>("completeAt");
    QTest::addColumn<QByteArrayList>("fields");

    const QByteArray s200 = "S200=x\r";
    const QByteArray s200Mask = "11111X1";
    const QByteArray s206 = "S206=x\r";
    const QByteArray s206Mask = "1111101";

    QTest::newRow("run in one read")
        << s200 << s200Mask << QByteArrayList{"S200=12\r"} << 0 << QByteArrayList{"12"};
    QTest::newRow("run in three reads")
        << s200 << s200Mask << QByteArrayList{"S2", "00=1", "2\r"} << 2 << QByteArrayList{"12"};
    QTest::newRow("run byte by byte")
        << s200 << s200Mask << bytewise("S200=123\r") << 8 << QByteArrayList{"123"};
    QTest::newRow("single character")
        << s206 << s206Mask << QByteArrayList{"S206=3\r"} << 0 << QByteArrayList{"3"};
    QTest::newRow("single character too long")
        << s206 << s206Mask << QByteArrayList{"S206=34\r"} << -1 << QByteArrayList{};
    QTest::newRow("leading noise")
        << s200 << s200Mask << QByteArrayList{"\x01z", "S200=5\r"} << 1 << QByteArrayList{"5"};
    QTest::newRow("breaking byte not retried")
        << s200 << s200Mask << QByteArrayList{"SS200=5\r"} << -1 << QByteArrayList{};
    QTest::newRow("broken partial answer then whole answer")
        << s200 << s200Mask << QByteArrayList{"S20", "x", "S200=7\r"} << 2 << QByteArrayList{"7"};
    QTest::newRow("run to its terminator")
        << QByteArray("x\r") << QByteArray("X1") << QByteArrayList{"1.20\r"} << 0
        << QByteArrayList{"1.20"};
    QTest::newRow("lone terminator, no field")
        << QByteArray("x\r") << QByteArray("X1") << QByteArrayList{"\r"} << 0 << QByteArrayList{};
    QTest::newRow("literal answer")
        << QByteArray("OK\r") << QByteArray("111") << QByteArrayList{"O", "K\r"} << 1
        << QByteArrayList{};
    QTest::newRow("version, two runs")
        << QByteArray("firmware=x,pp=x\r") << QByteArray("111111111X1111X1")
        << QByteArrayList{"firmware=2.3,pp=B\r"} << 0 << QByteArrayList{"2.3", "B"};
    QTest::newRow("rs485 record, eight fields")
        << rs485Answer << rs485Mask
        << QByteArrayList{"adr=:,spd=7,d1=000,", "d2=010,par=1,res=255,wdt=006,bit=1\r"} << 1
        << QByteArrayList{":", "7", "000", "010", "1", "255", "006", "1"};
    QTest::newRow("rs485 record, two-byte parity breaks")
        << rs485Answer << rs485Mask
        << QByteArrayList{"adr=0,spd=4,d1=000,d2=000,par=12,res=050,wdt=006,bit=0\r"} << -1
        << QByteArrayList{};
    QTest::newRow("rs485 record, empty run gives seven fields")
        << rs485Answer << rs485Mask
        << QByteArrayList{"adr=,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r"} << 0
        << QByteArrayList{"4", "000", "000", "0", "050", "006", "0"};
    QTest::newRow("two answers in one read, second ignored")
        << s200 << s200Mask << QByteArrayList{"S200=1\rS200=2\r", "Z"} << 0
        << QByteArrayList{"1"};
    QTest::newRow("single captures next to each other form one field")
        << QByteArray("ab=xx\r") << QByteArray("111001") << QByteArrayList{"ab=12\r"} << 0
        << QByteArrayList{"12"};
    QTest::newRow("run after single capture extends it")
        << QByteArray("a=xx\r") << QByteArray("110X1") << QByteArrayList{"a=1234\r"} << 0
        << QByteArrayList{"1234"};
    QTest::newRow("test answer")
        << QByteArray("TEST<") << QByteArray("11111") << QByteArrayList{"TEST<"} << 0
        << QByteArrayList{};
    QTest::newRow("test answer of another address")
        << QByteArray("TEST1") << QByteArray("11111") << QByteArrayList{"TEST2"} << -1
        << QByteArrayList{};
}

void tst_Parser::matcher()
{
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, mask);
    QFETCH(QByteArrayList, chunks);
    QFETCH(int, completeAt);
    QFETCH(QByteArrayList, fields);

    Parser parser(nullptr, makeParam(answer, mask));
    QByteArrayList out{"untouched"};
    for (int i = 0; i < chunks.size(); ++i) {
        QByteArrayList result;
        const bool complete = parser.parseAnswer(chunks.at(i), result);
        QVERIFY2(complete == (i == completeAt),
                 qPrintable(QStringLiteral("chunk %1 returned %2").arg(i).arg(complete)));
        if (complete)
            out = result;
    }
    if (completeAt < 0) {
        QVERIFY(!parser.isDone());
        return;
    }
    QCOMPARE(out, fields);
}

void tst_Parser::doneFlag_data()
{
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("done");

    QTest::newRow("nothing after") << QByteArray() << true;
    QTest::newRow("mismatching byte") << QByteArray("Z") << false;
    QTest::newRow("start of a new answer") << QByteArray("O") << true;
    QTest::newRow("broken new answer") << QByteArray("OZ") << false;
}

void tst_Parser::doneFlag()
{
    QFETCH(QByteArray, after);
    QFETCH(bool, done);

    Parser parser(nullptr, makeParam("OK\r", "111"));
    QByteArrayList out;
    QVERIFY(!parser.isDone());
    QVERIFY(parser.parseAnswer("OK\r", out));
    QVERIFY(parser.isDone());
    QVERIFY(!parser.parseAnswer(after, out));
    QCOMPARE(parser.isDone(), done);

    // Every send starts a fresh judgement.
    parser.doRequest();
    QVERIFY(!parser.isDone());
}

void tst_Parser::sendResetsPartialAnswer()
{
    Parser parser(nullptr, makeParam("S200=x\r", "11111X1"));
    QSignalSpy requests(&parser, &Parser::sgRequest);
    QVERIFY(requests.isValid());
    QByteArrayList out;

    QVERIFY(!parser.parseAnswer("S200=", out));
    parser.doRequest();
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.at(0).at(0).toByteArray(), QByteArray("ATS200?\r"));
    QVERIFY(!parser.parseAnswer("4\r", out));
    QVERIFY(parser.parseAnswer("S200=4\r", out));
    QCOMPARE(out, QByteArrayList{"4"});
}

void tst_Parser::replacedRequestAndAnswer()
{
    Parser parser(nullptr, makeParam("TEST1", "11111"));
    QSignalSpy requests(&parser, &Parser::sgRequest);
    QVERIFY(requests.isValid());
    QByteArrayList out;

    parser.setRequest("!01<");
    parser.setAnswer("TEST<");
    parser.doRequest();
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.at(0).at(0).toByteArray(), QByteArray("!01<"));
    QVERIFY(!parser.parseAnswer("TEST1", out));
    QVERIFY(parser.parseAnswer("TEST<", out));
}

void tst_Parser::repeatCount_data()
{
    QTest::addColumn<int>("repeats");
    QTest::addColumn<bool>("restartAfterFirstTick");
    QTest::addColumn<int>("sends");

    QTest::newRow("0 behaves as 1") << 0 << false << 1;
    QTest::newRow("1") << 1 << false << 1;
    QTest::newRow("3") << 3 << false << 3;
    QTest::newRow("restart resets the count") << 2 << true << 4;
}

// Counts only, on a short interval; the timing itself is repeatTiming's.
void tst_Parser::repeatCount()
{
    QFETCH(int, repeats);
    QFETCH(bool, restartAfterFirstTick);
    QFETCH(int, sends);

    Parser parser(nullptr, makeParam("OK\r", "111", quint8(repeats), 50));
    QSignalSpy requests(&parser, &Parser::sgRequest);
    QSignalSpy timeouts(&parser, &Parser::sgTimeout);
    QVERIFY(requests.isValid());
    QVERIFY(timeouts.isValid());

    parser.start();
    QCOMPARE(requests.count(), 1);
    if (restartAfterFirstTick) {
        QTRY_COMPARE(requests.count(), 2);
        parser.start();
        QCOMPARE(requests.count(), 3);
    }
    QTRY_COMPARE(timeouts.count(), 1);
    QTest::qWait(200);
    QCOMPARE(timeouts.count(), 1);
    QCOMPARE(requests.count(), sends);
}

void tst_Parser::answerDoesNotStopTimer()
{
    Parser parser(nullptr, makeParam("TEST5", "11111", 1, 50));
    QSignalSpy timeouts(&parser, &Parser::sgTimeout);
    QVERIFY(timeouts.isValid());
    QByteArrayList out;

    parser.start();
    QVERIFY(parser.parseAnswer("TEST5", out));
    QTRY_COMPARE(timeouts.count(), 1);
    QVERIFY(parser.isDone());
}

QTEST_GUILESS_MAIN(tst_Parser)
#include "tst_parser.moc"
