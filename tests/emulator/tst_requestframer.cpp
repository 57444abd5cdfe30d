#include "requestframer.h"

#include <QtTest>

using Requests = QList<QByteArray>;

class tst_RequestFramer : public QObject
{
    Q_OBJECT

private slots:
    void feed_data();
    void feed();
    void clearAndTakeDropped();
};

void tst_RequestFramer::feed_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<Requests>("requests");
    QTest::addColumn<QByteArray>("pending");
    QTest::addColumn<QByteArray>("dropped");

    const QByteArray record = "$00,4,000,000,0,050,006,0";

    QTest::newRow("two-byte requests") << QByteArray("$1$2") << Requests{"$1", "$2"} << QByteArray()
                                       << QByteArray();
    QTest::newRow("command mode") << QByteArray("+++ATO\r") << Requests{"+++", "ATO\r"}
                                  << QByteArray() << QByteArray();
    QTest::newRow("link rate ends on its digit") << QByteArray("$35$1") << Requests{"$35", "$1"}
                                                 << QByteArray() << QByteArray();
    QTest::newRow("record ends on its stop bit") << record + "$1" << Requests{record, "$1"}
                                                 << QByteArray() << QByteArray();
    QTest::newRow("record alone") << record << Requests{record} << QByteArray() << QByteArray();
    QTest::newRow("record with address ','")
        << QByteArray("$0,,4,000,000,0,050,006,0+++")
        << Requests{"$0,,4,000,000,0,050,006,0", "+++"} << QByteArray() << QByteArray();
    QTest::newRow("record with address '$'")
        << QByteArray("$0$,7,000,255,1,005,255,1$2")
        << Requests{"$0$,7,000,255,1,005,255,1", "$2"} << QByteArray() << QByteArray();
    QTest::newRow("record with two-digit parity")
        << QByteArray("$0:,4,000,000,12,050,006,0") << Requests{"$0:,4,000,000,12,050,006,0"}
        << QByteArray() << QByteArray();
    QTest::newRow("register write and read")
        << QByteArray("ATS200=5\rATS200?\r") << Requests{"ATS200=5\r", "ATS200?\r"} << QByteArray()
        << QByteArray();
    QTest::newRow("test mode and polls")
        << QByteArray("XMwn\r!011!01<!01,") << Requests{"XMwn\r", "!011", "!01<", "!01,"}
        << QByteArray() << QByteArray();
    QTest::newRow("poll whose address is '\\r'") << QByteArray("!01\r$2") << Requests{"!01\r", "$2"}
                                                 << QByteArray() << QByteArray();
    QTest::newRow("read-all sequence")
        << QByteArray("$2+++AT/V\rATS216?\rATS206?\rATS201?\rATS200?\rATS214?\rATS202?\rATO\r$1")
        << Requests{"$2",       "+++",      "AT/V\r",   "ATS216?\r", "ATS206?\r", "ATS201?\r",
                    "ATS200?\r", "ATS214?\r", "ATS202?\r", "ATO\r",     "$1"}
        << QByteArray() << QByteArray();

    QTest::newRow("noise before a request")
        << QByteArray("\x00\xffxy$2", 6) << Requests{"$2"} << QByteArray()
        << QByteArray("\x00\xffxy", 4);
    QTest::newRow("broken +++ resynchronises")
        << QByteArray("+$1++ATO\r") << Requests{"$1", "ATO\r"} << QByteArray() << QByteArray("+++");
    QTest::newRow("unknown $ request") << QByteArray("$4$2") << Requests{"$2"} << QByteArray()
                                       << QByteArray("$4");
    QTest::newRow("link rate without digit") << QByteArray("$3x$1") << Requests{"$1"}
                                             << QByteArray() << QByteArray("$3x");
    QTest::newRow("record without separator")
        << QByteArray("$00;4,000$2") << Requests{"$2"} << QByteArray() << QByteArray("$00;4,000");
    QTest::newRow("record field too long")
        << QByteArray("$00,1234,000,000,0,050,006,0$1") << Requests{"$1"} << QByteArray()
        << QByteArray("$00,1234,000,000,0,050,006,0");
    QTest::newRow("record with empty field")
        << QByteArray("$00,4,,000,0,050,006,0$1") << Requests{"$1"} << QByteArray()
        << QByteArray("$00,4,,000,0,050,006,0");
    QTest::newRow("AT line with a control byte")
        << QByteArray("ATS2\n00?\r$1") << Requests{"$1"} << QByteArray()
        << QByteArray("ATS2\n00?\r");
    QTest::newRow("AT line that never ends")
        << QByteArray("AT") + QByteArray(RequestFramer::maxAtLength, '1') + "$2" << Requests{"$2"}
        << QByteArray() << QByteArray("AT") + QByteArray(RequestFramer::maxAtLength, '1');
    QTest::newRow("wrong test mode") << QByteArray("XMwx\r$1") << Requests{"$1"} << QByteArray()
                                     << QByteArray("XMwx\r");

    QTest::newRow("AT line waits for its end") << QByteArray("$1ATS200") << Requests{"$1"}
                                               << QByteArray("ATS200") << QByteArray();
    QTest::newRow("record waits for its stop bit")
        << QByteArray("$00,4,000,000,0,050,006,") << Requests{}
        << QByteArray("$00,4,000,000,0,050,006,") << QByteArray();
    QTest::newRow("poll waits for its address") << QByteArray("!01") << Requests{}
                                                << QByteArray("!01") << QByteArray();
    QTest::newRow("lone $") << QByteArray("$") << Requests{} << QByteArray("$") << QByteArray();
}

// Every way of cutting the stream into two reads, and one byte per read,
// frames the same requests as the whole stream at once.
void tst_RequestFramer::feed()
{
    QFETCH(QByteArray, stream);
    QFETCH(Requests, requests);
    QFETCH(QByteArray, pending);
    QFETCH(QByteArray, dropped);

    {
        RequestFramer framer;
        QCOMPARE(framer.feed(stream), requests);
        QCOMPARE(framer.pending(), pending);
        QCOMPARE(framer.dropped(), dropped);
    }
    {
        RequestFramer framer;
        Requests framed;
        for (char c : stream)
            framed += framer.feed(QByteArray(1, c));
        QCOMPARE(framed, requests);
        QCOMPARE(framer.pending(), pending);
        QCOMPARE(framer.dropped(), dropped);
    }
    for (int cut = 1; cut < stream.size(); ++cut) {
        RequestFramer framer;
        Requests framed = framer.feed(stream.left(cut));
        framed += framer.feed(stream.mid(cut));
        QVERIFY2(framed == requests, qPrintable(QStringLiteral("cut at %1").arg(cut)));
        QCOMPARE(framer.pending(), pending);
        QCOMPARE(framer.dropped(), dropped);
    }
}

void tst_RequestFramer::clearAndTakeDropped()
{
    RequestFramer framer;
    QCOMPARE(framer.feed("x$00,4,"), Requests{});
    QCOMPARE(framer.dropped(), QByteArray("x"));
    framer.clear();
    QCOMPARE(framer.pending(), QByteArray());
    QCOMPARE(framer.dropped(), QByteArray());
    QCOMPARE(framer.feed("$1"), Requests{"$1"});

    QCOMPARE(framer.feed("??$2"), Requests{"$2"});
    QCOMPARE(framer.takeDropped(), QByteArray("??"));
    QCOMPARE(framer.dropped(), QByteArray());
}

QTEST_GUILESS_MAIN(tst_RequestFramer)
#include "tst_requestframer.moc"
