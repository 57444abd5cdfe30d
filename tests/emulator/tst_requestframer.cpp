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
    const auto row = [](const char *name, const QByteArray &stream, const Requests &requests,
                        const QByteArray &dropped = QByteArray(), const QByteArray &pending = QByteArray()) {
        QTest::newRow(name) << stream << requests << pending << dropped;
    };

    row("two-byte requests", "$1$2", {"$1", "$2"});
    row("command mode", "+++ATO\r", {"+++", "ATO\r"});
    row("link rate ends on its digit", "$35$1", {"$35", "$1"});
    row("record ends on its stop bit", record + "$1", {record, "$1"});
    row("record alone", record, {record});
    row("record with address ','", "$0,,4,000,000,0,050,006,0+++", {"$0,,4,000,000,0,050,006,0", "+++"});
    row("record with address '$'", "$0$,7,000,255,1,005,255,1$2", {"$0$,7,000,255,1,005,255,1", "$2"});
    row("record with two-digit parity", "$0:,4,000,000,12,050,006,0", {"$0:,4,000,000,12,050,006,0"});
    row("register write and read", "ATS200=5\rATS200?\r", {"ATS200=5\r", "ATS200?\r"});
    row("test mode and polls", "XMwn\r!011!01<!01,", {"XMwn\r", "!011", "!01<", "!01,"});
    row("poll whose address is '\\r'", "!01\r$2", {"!01\r", "$2"});
    row("read-all sequence", "$2+++AT/V\rATS216?\rATS206?\rATS201?\rATS200?\rATS214?\rATS202?\rATO\r$1",
        {"$2", "+++", "AT/V\r", "ATS216?\r", "ATS206?\r", "ATS201?\r", "ATS200?\r", "ATS214?\r",
         "ATS202?\r", "ATO\r", "$1"});

    row("noise before a request", QByteArray("\x00\xffxy$2", 6), {"$2"}, QByteArray("\x00\xffxy", 4));
    row("broken +++ resynchronises", "+$1++ATO\r", {"$1", "ATO\r"}, "+++");
    row("unknown $ request", "$4$2", {"$2"}, "$4");
    row("link rate without digit", "$3x$1", {"$1"}, "$3x");
    row("record without separator", "$00;4,000$2", {"$2"}, "$00;4,000");
    row("record field too long", "$00,1234,000,000,0,050,006,0$1", {"$1"}, "$00,1234,000,000,0,050,006,0");
    row("record with empty field", "$00,4,,000,0,050,006,0$1", {"$1"}, "$00,4,,000,0,050,006,0");
    row("AT line with a control byte", "ATS2\n00?\r$1", {"$1"}, "ATS2\n00?\r");
    const QByteArray endless = "AT" + QByteArray(RequestFramer::maxAtLength, '1');
    row("AT line that never ends", endless + "$2", {"$2"}, endless);
    row("wrong test mode", "XMwx\r$1", {"$1"}, "XMwx\r");

    row("AT line waits for its end", "$1ATS200", {"$1"}, QByteArray(), "ATS200");
    row("record waits for its stop bit", "$00,4,000,000,0,050,006,", {}, QByteArray(), "$00,4,000,000,0,050,006,");
    row("poll waits for its address", "!01", {}, QByteArray(), "!01");
    row("lone $", "$", {}, QByteArray(), "$");
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
